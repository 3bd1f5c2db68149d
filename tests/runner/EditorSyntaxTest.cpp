// The editor syntax files under tools/editors/ name every keyword and type name of
// the language, taken from the tokenizer's own tables, so a new keyword cannot be
// left out of them.
#include "Token.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string fileText(const std::string& path)
{
    std::ifstream file(path);
    EXPECT_TRUE(file.good()) << path;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool isWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// True when `word` stands in `text` as a whole word.
bool namesWord(const std::string& text, std::string_view word)
{
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const auto end = at + word.size();
        if ((at == 0 || !isWordChar(text[at - 1])) && (end == text.size() || !isWordChar(text[end])))
            return true;
    }
    return false;
}

TEST(EditorSyntax, EveryKeywordAndTypeNameIsHighlighted)
{
    for (const char* name : {"vorlan.tmLanguage.json", "vim/syntax/vorlan.vim"}) {
        const std::string text = fileText(std::string(VOR_EDITORS_DIR) + "/" + name);
        for (const auto& keyword : Transl::kKeywords)
            EXPECT_TRUE(namesWord(text, keyword.word)) << name << " lacks " << keyword.word;
        for (const auto typeName : Transl::kTypeNames)
            EXPECT_TRUE(namesWord(text, typeName)) << name << " lacks " << typeName;
    }
}

} // namespace
