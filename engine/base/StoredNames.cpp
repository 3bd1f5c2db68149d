// The identifier encoding of stored names.
#include "base/StoredNames.h"

#include <cctype>

namespace engine {
namespace {

constexpr char kEscape = '^';  // marks a lower-case letter (or itself) in a stored name

}  // namespace

std::string identifierName(const std::string& text) {
    if (text.size() < 2 || text.front() != '"') return upperCaseAscii(text);
    std::string name;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        name += text[i];
        if (text[i] == '"') ++i;  // "" inside the quotes stands for one quote
    }
    return name;
}

std::string encodeIdentifier(const std::string& text) { return encodeName(identifierName(text)); }

std::string encodeName(const std::string& name) {
    std::string stored;
    for (char c : name) {
        if (c >= 'a' && c <= 'z') {
            stored += kEscape;
            stored += static_cast<char>(c - 'a' + 'A');
        } else {
            if (c == kEscape) stored += kEscape;
            stored += c;
        }
    }
    return stored;
}

std::string decodeIdentifier(const std::string& stored) {
    std::string name;
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const char next = i + 1 < stored.size() ? stored[i + 1] : '\0';
        if (stored[i] == kEscape && next >= 'A' && next <= 'Z') {
            name += static_cast<char>(next - 'A' + 'a');
            ++i;
        } else {
            name += stored[i];
            if (stored[i] == kEscape && next == kEscape) ++i;
        }
    }
    return name;
}

std::string quoteStored(const std::string& stored) {
    std::string out = "\"";
    for (char c : stored) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

std::string upperCaseAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool isInternalName(const std::string& stored) {
    return stored.compare(0, 2, kEnginePrefix) == 0 || upperCaseAscii(stored.substr(0, 7)) == "SQLITE_";
}

}  // namespace engine
