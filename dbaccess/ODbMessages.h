// Fixed messages of the value classes, each written once. Private to the library.
#pragma once

namespace Oracle {
namespace Messages {

constexpr const char* CannotProceedType = "Cannot proceed Oracle datatype";
constexpr const char* NotExpectedType = "An attribute is not of expected type";
constexpr const char* AttributeNull = "An attribute is null";
constexpr const char* ConversionError = "Value convertion error";
constexpr const char* InvalidLength = "Invalid attribute length";

// Code of the exception for a value that does not fit its element.
constexpr int LengthErrorCode = 100;

} // namespace Messages
} // namespace Oracle
