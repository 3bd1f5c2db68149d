// Helpers shared by the value tests: element contents rendered as text so that
// table rows can state what an element must hold, and exception checks.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "vordb.h"

namespace ValueTest {

using Oracle::ODbDynamicVariable;
using Oracle::ODbException;

// What a call is expected to throw.
enum class Failure { None, Type, Null, Length, Empty, Conversion };

inline const char* messageOf(Failure f)
{
    switch (f) {
    case Failure::Type:
        return "An attribute is not of expected type";
    case Failure::Null:
        return "An attribute is null";
    case Failure::Conversion:
        return "Value convertion error";
    default:
        return "";
    }
}

// Runs fn and checks that it throws the given failure (or nothing).
inline void expectFailure(Failure expected, const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const ODbException& e) {
        ASSERT_NE(expected, Failure::None) << "unexpected exception: " << e.getErrMsg();
        if (expected == Failure::Length) {
            EXPECT_EQ(0, std::strncmp(e.getErrMsg(), "Invalid attribute length", 24)) << e.getErrMsg();
            EXPECT_EQ(100, e.getErrCode());
        } else {
            EXPECT_STREQ(messageOf(expected), e.getErrMsg());
            EXPECT_EQ(0, e.getErrCode());
        }
        return;
    }
    EXPECT_EQ(expected, Failure::None) << "no exception thrown";
}

inline std::string hexOf(const unsigned char* bytes, std::size_t length)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

// Element i rendered as "NULL", "f:<double %g>", "i:<int>", "s:<text>",
// "r:<HEX of the bytes after the prefix>" or "d:<7 bytes as HEX>".
inline std::string describe(const ODbDynamicVariable& var, unsigned int i = 0)
{
    if (var.getIndVar(i) == -1)
        return "NULL";
    const unsigned char* p = var.val(i);
    char text[64];
    switch (var.getFtype()) {
    case Oracle::extFloat: {
        double v;
        std::memcpy(&v, p, sizeof v);
        std::snprintf(text, sizeof text, "f:%g", v);
        return text;
    }
    case Oracle::extInt: {
        long long v = 0;
        if (var.getElemSize() == 2) {
            std::int16_t s;
            std::memcpy(&s, p, 2);
            v = s;
        } else {
            std::int32_t l;
            std::memcpy(&l, p, 4);
            v = l;
        }
        return "i:" + std::to_string(v);
    }
    case Oracle::extString:
        return "s:" + std::string(reinterpret_cast<const char*>(p), ::strnlen(reinterpret_cast<const char*>(p), var.getElemSize()));
    case Oracle::extVarRaw: {
        std::uint16_t n;
        std::memcpy(&n, p, 2);
        return "r:" + hexOf(p + 2, n);
    }
    case Oracle::extLongVarRaw: {
        std::uint32_t n;
        std::memcpy(&n, p, 4);
        return "r:" + hexOf(p + 4, n);
    }
    case Oracle::extDate:
        return "d:" + hexOf(p, 7);
    default:
        return "?";
    }
}

// Writes element i directly, bypassing the accessors: the contents a getter reads.
inline void store(ODbDynamicVariable& var, unsigned int i, const void* bytes, std::size_t length)
{
    std::memcpy(var.val(i), bytes, length);
    var.setNotNull(i);
}

inline void storeDouble(ODbDynamicVariable& var, double v) { store(var, 0, &v, sizeof v); }
inline void storeInt(ODbDynamicVariable& var, long long v)
{
    if (var.getElemSize() == 2) {
        const auto s = static_cast<std::int16_t>(v);
        store(var, 0, &s, 2);
    } else {
        const auto l = static_cast<std::int32_t>(v);
        store(var, 0, &l, 4);
    }
}
inline void storeText(ODbDynamicVariable& var, const char* text) { store(var, 0, text, std::strlen(text) + 1); }
inline void storeRaw(ODbDynamicVariable& var, const std::vector<unsigned char>& bytes)
{
    std::vector<unsigned char> element;
    if (var.getFtype() == Oracle::extVarRaw) {
        const auto n = static_cast<std::uint16_t>(bytes.size());
        element.resize(2);
        std::memcpy(element.data(), &n, 2);
    } else {
        const auto n = static_cast<std::uint32_t>(bytes.size());
        element.resize(4);
        std::memcpy(element.data(), &n, 4);
    }
    element.insert(element.end(), bytes.begin(), bytes.end());
    store(var, 0, element.data(), element.size());
}

// Table rows carry a name: tests are named after it and print it instead of bytes.
struct CaseName {
    template <class Case> std::string operator()(const ::testing::TestParamInfo<Case>& info) const
    {
        std::string name;
        for (const char c : std::string(info.param.name))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name + "_" + std::to_string(info.index);
    }
};

template <class Case> auto operator<<(std::ostream& os, const Case& c) -> decltype(c.name, os)
{
    return os << c.name;
}

} // namespace ValueTest
