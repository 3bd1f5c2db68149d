// Tokenizer: token kinds and texts, comments, constants, line numbers, and the token
// history with pushback and seeking.
#include "Parser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Transl::ErrorCode;
using Transl::Keyword;
using Transl::Parser;
using Transl::Token;
using Transl::TokenKind;
using Transl::TypeCode;

// Reads every token of a text up to the end of the input.
std::vector<Token> tokensOf(const std::string& text)
{
    Parser parser;
    parser.openText(text);
    std::vector<Token> tokens;
    for (parser.nextToken(); parser.currentToken().kind != TokenKind::EndOfInput;
         parser.nextToken())
        tokens.push_back(parser.currentToken());
    return tokens;
}

struct KindCase {
    const char* text;
    TokenKind kind;
    const char* tokenText;
};

TEST(ParserTokens, SingleTokenKindsAndTexts)
{
    const KindCase cases[] = {
        {"PRINT", TokenKind::Keyword, "PRINT"},
        {"Print", TokenKind::Identifier, "Print"},
        {"PRINTX", TokenKind::Identifier, "PRINTX"},
        {"print", TokenKind::Identifier, "print"},
        {"VARCHAR2ARR", TokenKind::TypeName, "VARCHAR2ARR"},
        {"a_1b", TokenKind::Identifier, "a_1b"},
        {"1.2.3", TokenKind::Number, "1.2.3"},
        {"42", TokenKind::Number, "42"},
        {";", TokenKind::Semicolon, ";"},
        {".", TokenKind::Dot, "."},
        {"%", TokenKind::Delimiter, "%"},
        {"\"\"", TokenKind::String, ""},
        {"\"a b\"", TokenKind::String, "a b"},
        {"\"say \\\"hi\\\"\"", TokenKind::String, "say \"hi\""},
        {"\"back\\\\slash\"", TokenKind::String, "back\\slash"},
        {"\"one\\   \n    two\"", TokenKind::String, "onetwo"},
        {"\"two\nlines\"", TokenKind::String, "two\nlines"},
        {"\"crlf\r\nline\"", TokenKind::String, "crlf\nline"},
        {"'0AFF'", TokenKind::Raw, "0AFF"},
        {"'0AFF;", TokenKind::Raw, "0AFF"},
        {"''", TokenKind::Raw, ""},
    };
    for (const KindCase& c : cases) {
        const auto tokens = tokensOf(c.text);
        ASSERT_EQ(tokens.size(), 1u) << c.text;
        EXPECT_EQ(tokens[0].kind, c.kind) << c.text;
        EXPECT_EQ(tokens[0].text, c.tokenText) << c.text;
    }
}

TEST(ParserTokens, KeywordAndTypeCodes)
{
    const auto tokens = tokensOf("CHECKPROC EW OUT NUMBER RAWARR VARCHAR2");
    ASSERT_EQ(tokens.size(), 6u);
    EXPECT_EQ(tokens[0].keyword, Keyword::Checkproc);
    EXPECT_EQ(tokens[1].keyword, Keyword::Ew);
    EXPECT_EQ(tokens[2].keyword, Keyword::Out);
    EXPECT_EQ(tokens[3].type, TypeCode::Number);
    EXPECT_EQ(tokens[4].type, TypeCode::RawArr);
    EXPECT_EQ(tokens[5].type, TypeCode::Varchar2);
    EXPECT_EQ(tokens[0].type, TypeCode::None);
    EXPECT_EQ(tokens[3].keyword, Keyword::None);
}

TEST(ParserTokens, OperatorsAreSingleDelimiters)
{
    const auto tokens = tokensOf("a<=b");
    ASSERT_EQ(tokens.size(), 4u);
    const char* texts[] = {"a", "<", "=", "b"};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(tokens[i].text, texts[i]);
    EXPECT_EQ(tokens[1].kind, TokenKind::Delimiter);
}

TEST(ParserTokens, NulIsADelimiter)
{
    const auto tokens = tokensOf(std::string("a\0b", 3));
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[1].kind, TokenKind::Delimiter);
    EXPECT_EQ(tokens[1].text, std::string(1, '\0'));
}

TEST(ParserTokens, RawClosedBySemicolonSwallowsIt)
{
    const auto tokens = tokensOf("x = '01; y");
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[2].kind, TokenKind::Raw);
    EXPECT_EQ(tokens[3].text, "y");
}

TEST(ParserComments, RemSkipsTheRestOfTheLineAnywhere)
{
    const auto tokens = tokensOf("a REM b c\nd REMARK\nREM last line without break");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].text, "a");
    EXPECT_EQ(tokens[1].text, "d");
    EXPECT_EQ(tokens[2].text, "REMARK");
}

TEST(ParserComments, RemGluedToPunctuationStillStartsAComment)
{
    const auto tokens = tokensOf("REM;not a statement\nx");
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].text, "x");
}

TEST(ParserLines, LfAndCrLfCountAlike)
{
    for (const char* text : {"a\nb\n\nc d\n", "a\r\nb\r\n\r\nc d\r\n"}) {
        const auto tokens = tokensOf(text);
        ASSERT_EQ(tokens.size(), 4u);
        EXPECT_EQ(tokens[0].line, 1);
        EXPECT_EQ(tokens[1].line, 2);
        EXPECT_EQ(tokens[2].line, 4);
        EXPECT_EQ(tokens[3].line, 4);
    }
}

TEST(ParserLines, EndOfInputStandsPastTheLastBreak)
{
    Parser parser;
    parser.openText("a\nb\n");
    parser.nextToken();
    parser.nextToken();
    EXPECT_EQ(parser.lineNumber(), 2);
    parser.nextToken();
    EXPECT_EQ(parser.currentToken().kind, TokenKind::EndOfInput);
    EXPECT_EQ(parser.lineNumber(), 3);
}

TEST(ParserLines, LoneCrIsWhitespaceNotALineBreak)
{
    const auto tokens = tokensOf("a\rb\nc");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[1].line, 1);
    EXPECT_EQ(tokens[2].line, 2);
}

TEST(ParserHistory, PushbackReturnsTheSameTokensInOrder)
{
    Parser parser;
    parser.openText("a b c d");
    parser.nextToken();
    parser.nextToken();
    parser.nextToken();
    EXPECT_EQ(parser.tokenPosition(), 2);
    parser.ungetToken();
    parser.ungetToken();
    parser.nextToken();
    EXPECT_EQ(parser.currentToken().text, "b");
    EXPECT_EQ(parser.tokenPosition(), 1);
    parser.nextToken();
    EXPECT_EQ(parser.currentToken().text, "c");
    parser.nextToken();
    EXPECT_EQ(parser.currentToken().text, "d");
    EXPECT_EQ(parser.tokenPosition(), 3);
}

TEST(ParserHistory, SeekBackReplaysTheHistoryWithoutRescanning)
{
    Parser parser;
    parser.openText("x y\nz");
    parser.nextToken();
    parser.nextToken();
    const auto mark = parser.tokenPosition();
    parser.nextToken();
    parser.nextToken();
    ASSERT_EQ(parser.currentToken().kind, TokenKind::EndOfInput);
    for (int pass = 0; pass < 3; ++pass) {
        parser.seekToken(mark);
        parser.nextToken();
        EXPECT_EQ(parser.currentToken().text, "y");
        EXPECT_EQ(parser.currentToken().line, 1);
        parser.nextToken();
        EXPECT_EQ(parser.currentToken().text, "z");
        EXPECT_EQ(parser.currentToken().line, 2);
        parser.nextToken();
        EXPECT_EQ(parser.currentToken().kind, TokenKind::EndOfInput);
    }
}

TEST(ParserHistory, SeekForwardOrToTheCurrentTokenChangesNothing)
{
    Parser parser;
    parser.openText("a b c");
    parser.nextToken();
    parser.nextToken();
    parser.seekToken(1);
    parser.seekToken(5);
    parser.nextToken();
    EXPECT_EQ(parser.currentToken().text, "c");
}

TEST(ParserHistory, ForgottenTokensLeaveLaterPositionsAsTheyWere)
{
    Parser parser;
    parser.openText("a b c d e");
    for (int i = 0; i < 4; ++i)
        parser.nextToken();
    parser.forgetTokensBefore(2);
    EXPECT_EQ(parser.tokenPosition(), 3);
    parser.jumpTo(2);
    EXPECT_EQ(parser.currentToken().text, "c");
    EXPECT_EQ(parser.nextPosition(), 3);
    parser.nextToken();
    parser.nextToken();
    EXPECT_EQ(parser.currentToken().text, "e");
    EXPECT_EQ(parser.tokenPosition(), 4);
    EXPECT_THROW(parser.forgetTokensBefore(5), std::exception);
}

TEST(ParserHistory, EmptyHistoryHasNoCurrentToken)
{
    Parser parser;
    parser.openText("a");
    EXPECT_EQ(parser.currentTokenText(), "");
    EXPECT_THROW(parser.currentToken(), std::exception);
    EXPECT_THROW(parser.tokenPosition(), std::exception);
    EXPECT_THROW(parser.ungetToken(), std::exception);
}

TEST(ParserHistory, EndOfInputRepeats)
{
    Parser parser;
    parser.openText("");
    for (int i = 0; i < 3; ++i) {
        parser.nextToken();
        EXPECT_EQ(parser.currentToken().kind, TokenKind::EndOfInput);
        EXPECT_EQ(parser.currentTokenText(), "");
    }
}

TEST(ParserHistory, AcceptCharPushesBackOnMismatch)
{
    Parser parser;
    parser.openText(", x");
    EXPECT_FALSE(parser.acceptChar(';'));
    EXPECT_TRUE(parser.acceptChar(','));
    EXPECT_FALSE(parser.acceptChar(','));
    parser.nextToken();
    EXPECT_EQ(parser.currentToken().text, "x");
}

// Scanning errors end the process with status 1 (the diagnostic goes to the
// interpreter's error stream, which these parsers leave unopened).
struct ScanErrorCase {
    const char* name;
    std::string text;
};

TEST(ParserErrorsDeathTest, BadInputEndsWithStatusOne)
{
    const ScanErrorCase cases[] = {
        {"unrecognized symbol", "a ! b"},
        {"underscore starts no word", "_a"},
        {"character outside ASCII", "\xC3\xA9"},
        {"unterminated string", "\"abc"},
        {"unterminated string after backslash", "\"abc\\  \n"},
        {"unterminated raw", "'00"},
    };
    for (const ScanErrorCase& c : cases) {
        EXPECT_EXIT(
            {
                Parser parser;
                parser.openText(c.text);
                for (;;)
                    parser.nextToken();
            },
            testing::ExitedWithCode(1), "")
            << c.name;
    }
}

TEST(ParserErrorsDeathTest, ExpectCharMismatchEndsWithStatusOne)
{
    EXPECT_EXIT(
        {
            Parser parser;
            parser.openText("a b");
            parser.expectChar('a');
            parser.expectChar(';');
        },
        testing::ExitedWithCode(1), "");
}

} // namespace
