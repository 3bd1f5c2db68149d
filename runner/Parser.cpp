// Scanning of tokens from the reader, and the token history.
#include "Parser.h"

#include "Exception.h"
#include "Limits.h"

#include <algorithm>
#include <string_view>

namespace Transl {

namespace {

constexpr std::string_view kDelimiters(" ,+-<>/*%^=()[]\t\r\0", 18);

bool isDelimiter(int c)
{
    return c != Inp::kEnd && kDelimiters.find(static_cast<char>(c)) != std::string_view::npos;
}

bool isLetter(int c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

bool isWordChar(int c)
{
    return isLetter(c) || isDigit(c) || c == '_';
}

// Classifies a scanned word: keyword, type name or identifier.
void classifyWord(Token& token)
{
    for (const KeywordEntry& entry : kKeywords) {
        if (entry.word == token.text) {
            token.kind = TokenKind::Keyword;
            token.keyword = entry.code;
            return;
        }
    }
    for (std::size_t i = 0; i < kTypeNames.size(); ++i) {
        if (kTypeNames[i] == token.text) {
            token.kind = TokenKind::TypeName;
            token.type = static_cast<TypeCode>(i + 1);
            return;
        }
    }
    token.kind = TokenKind::Identifier;
}

bool isComment(const Token& token)
{
    return token.kind == TokenKind::Keyword && token.keyword == Keyword::Rem;
}

} // namespace

void Parser::scanToken()
{
    Token token = readRawToken();
    while (isComment(token)) {
        skipComment();
        token = readRawToken();
    }
    token.line = lineNumber();
    if (static_cast<std::size_t>(firstPosition_) + history_.size() >= kMaxTokenHistory)
        throw Exception("the script has more tokens than can be numbered");
    history_.push_back(std::move(token));
}

void Parser::nothingToPushBack()
{
    throw Exception("no token to push back");
}

void Parser::noCurrentToken()
{
    throw Exception();
}

void Parser::seekToken(std::int32_t position)
{
    const std::int32_t current = tokenPosition();
    if (position < 0)
        throw Exception("token position before the start of the script");
    if (position < current)
        pushedBack_ += static_cast<std::size_t>(current - position) + 1;
}

void Parser::forgetTokensBefore(std::int32_t position)
{
    if (position > tokenPosition())
        throw Exception("forgetting the current token");
    while (firstPosition_ < position) {
        history_.pop_front();
        ++firstPosition_;
    }
}

void Parser::missingChar(char c)
{
    reportError(ErrorCode::TokenExpected, std::string(1, c));
}

std::string Parser::currentTokenText() const
{
    if (pushedBack_ >= history_.size())
        return std::string();
    return history_[currentIndex()].text;
}

// Scans one token from the reader; comments are returned as the REM keyword.
Token Parser::readRawToken()
{
    Token token;
    skipWhitespace();
    const int c = peekChar();
    if (c == kEnd) {
        token.kind = TokenKind::EndOfInput;
    } else if (c == ';') {
        takeChar(token);
        token.kind = TokenKind::Semicolon;
    } else if (isDelimiter(c)) {
        takeChar(token);
        token.kind = TokenKind::Delimiter;
    } else if (c == '"') {
        readString(token);
    } else if (c == '\'') {
        readRaw(token);
    } else if (c == '.') {
        takeChar(token);
        token.kind = TokenKind::Dot;
    } else if (isDigit(c)) {
        readNumber(token);
    } else if (isLetter(c)) {
        readWord(token);
    } else {
        reportError(ErrorCode::UnrecognizedSymbol);
    }
    return token;
}

// Skips the rest of a comment line; the line break stays for the whitespace skip.
void Parser::skipComment()
{
    while (peekChar() != kEnd && peekChar() != '\n')
        advanceChar();
}

// Moves the look-ahead character into the token's text.
void Parser::takeChar(Token& token)
{
    token.text.push_back(static_cast<char>(peekChar()));
    advanceChar();
}

// A string constant: "text". A backslash is dropped together with the whitespace
// after it, and the character that follows is taken as it is, so \" and \\ stand
// for themselves and a backslash at a line end joins the next line without its
// leading blanks.
void Parser::readString(Token& token)
{
    advanceChar();
    while (peekChar() != '"') {
        if (peekChar() == '\\') {
            advanceChar();
            skipWhitespace();
        }
        if (peekChar() == kEnd)
            reportError(ErrorCode::SyntaxError);
        takeChar(token);
    }
    advanceChar();
    token.kind = TokenKind::String;
}

// A raw constant: 'hex digits' or 'hex digits; (a ';' closes it and is consumed).
void Parser::readRaw(Token& token)
{
    advanceChar();
    while (peekChar() != '\'' && peekChar() != ';') {
        if (peekChar() == kEnd)
            reportError(ErrorCode::SyntaxError);
        takeChar(token);
    }
    advanceChar();
    token.kind = TokenKind::Raw;
}

// A number: digits and dots; the value is read by the expression evaluator.
void Parser::readNumber(Token& token)
{
    while (isDigit(peekChar()) || peekChar() == '.')
        takeChar(token);
    token.kind = TokenKind::Number;
}

void Parser::readWord(Token& token)
{
    token.kind = TokenKind::Word;
    while (isWordChar(peekChar()))
        takeChar(token);
    classifyWord(token);
}

} // namespace Transl
