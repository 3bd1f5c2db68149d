// Tokenizer of the script and its token history. Every other part of the
// interpreter reads the script only through these operations: tokens are scanned
// on demand, kept in reading order, and can be pushed back or returned to by
// position (DOWHILE goes back this way without reading the source again). Tokens
// that no later step can return to may be forgotten; positions stay as they were.
#pragma once

#include "Error.h"
#include "Token.h"

#include <cstdint>
#include <string>
#include <deque>

namespace Transl {

class Parser : public Error {
public:
    Parser() = default;
    ~Parser() override = default;

    // Makes the next token current: a pushed-back one from the history, else a
    // newly scanned one (comments are skipped). At the end of the input the token
    // is of kind EndOfInput, as often as it is asked for.
    void nextToken()
    {
        if (pushedBack_ > 0)
            --pushedBack_;
        else
            scanToken();
    }
    // Pushes the current token back; the next nextToken makes it current again.
    void ungetToken()
    {
        if (pushedBack_ >= history_.size())
            nothingToPushBack();
        ++pushedBack_;
    }
    // The current token; internal failure while nothing has been read.
    const Token& currentToken() const { return history_[currentIndex()]; }
    // Position (0-based index in the history) of the current token; internal
    // failure while nothing has been read.
    std::int32_t tokenPosition() const
    {
        return firstPosition_ + static_cast<std::int32_t>(currentIndex());
    }
    // Position of the token the next nextToken makes current (also before the
    // first token was read).
    std::int32_t nextPosition() const
    {
        return firstPosition_ + static_cast<std::int32_t>(history_.size() - pushedBack_);
    }
    // Makes the token at a position of the history current, forward or back; the
    // position must be one read already and not forgotten.
    void jumpTo(std::int32_t position)
    {
        pushedBack_ = history_.size() - static_cast<std::size_t>(position - firstPosition_) - 1;
    }
    // Frees the tokens before a position at or before the current one; going back
    // to them is no longer possible.
    void forgetTokensBefore(std::int32_t position);
    // Goes back to an earlier position: the next nextToken makes the token at
    // `position` current and later ones re-read the history in order. A position
    // that is not before the current one changes nothing.
    void seekToken(std::int32_t position);
    // nextToken, then its text must begin with c: otherwise error 3 with c as detail.
    void expectChar(char c)
    {
        nextToken();
        if (!currentToken().startsWith(c))
            missingChar(c);
    }
    // nextToken; true when its text begins with c, else pushes it back.
    bool acceptChar(char c)
    {
        nextToken();
        if (currentToken().startsWith(c))
            return true;
        ungetToken();
        return false;
    }
    // The current token's text, or empty while nothing has been read.
    std::string currentTokenText() const override;

private:
    // Scans a new token (comments skipped) onto the end of the history.
    void scanToken();
    // Failures of the inline operations, kept out of line.
    [[noreturn]] static void noCurrentToken();
    [[noreturn]] static void nothingToPushBack();
    [[noreturn]] void missingChar(char c);
    Token readRawToken();
    void skipComment();
    void readString(Token& token);
    void readRaw(Token& token);
    void readNumber(Token& token);
    void readWord(Token& token);
    void takeChar(Token& token);
    std::size_t currentIndex() const
    {
        if (pushedBack_ >= history_.size())
            noCurrentToken();
        return history_.size() - pushedBack_ - 1;
    }

    // The tokens read and not forgotten, in reading order. A deque grows and
    // shrinks at its front without moving what it holds.
    std::deque<Token> history_;
    std::int32_t firstPosition_ = 0;  // position of history_.front()
    std::size_t pushedBack_ = 0;  // tokens at the end of history_ not yet re-read
};

} // namespace Transl
