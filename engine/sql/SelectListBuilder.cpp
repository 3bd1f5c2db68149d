// Splitting a query's select list into items, aliases and column names.
#include "sql/SelectListBuilder.h"

#include <string_view>
#include <utility>

namespace engine {
namespace {

std::string trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(" \t\r\n");
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace

std::vector<SelectItem> SelectListBuilder::build() {
    int depth = 0;
    bool inList = false;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
        const SqlToken& token = tokens_[i];
        depth += token.isSymbol("(") ? 1 : token.isSymbol(")") ? -1 : 0;
        if (!token.significant() || depth != 0 || token.isSymbol(")")) {
            if (inList && token.significant()) current_.push_back(i);
            continue;
        }
        if (!inList) {
            inList = token.isWord("SELECT");
        } else if (token.isWord("FROM") || token.isWord("INTO") || token.isSymbol(";")) {
            break;
        } else if (token.isSymbol(",")) {
            finishItem();
        } else if (!(items_.empty() && current_.empty() && isQuantifier(token))) {
            current_.push_back(i);
        }
    }
    finishItem();
    return std::move(items_);
}

bool SelectListBuilder::isQuantifier(const SqlToken& token) {
    return token.isWord("DISTINCT") || token.isWord("UNIQUE") || token.isWord("ALL");
}

// An alias is a trailing name after AS, or after anything that ends an
// expression (a name, literal or ")") other than a dot; END closes CASE.
std::size_t SelectListBuilder::aliasLength() const {
    if (current_.size() < 2) return 0;
    const SqlToken& last = tokens_[current_.back()];
    const SqlToken& before = tokens_[current_[current_.size() - 2]];
    if (!last.isName() || last.isWord("END")) return 0;
    if (before.isWord("AS")) return current_.size() > 2 ? 2 : 0;
    const bool endsExpression = before.isName() || before.kind == SqlTokenKind::String ||
                                before.kind == SqlTokenKind::Number || before.isSymbol(")");
    return endsExpression ? 1 : 0;
}

void SelectListBuilder::finishItem() {
    if (current_.empty()) return;
    const std::size_t alias = aliasLength();
    const std::size_t exprEnd = current_[current_.size() - alias - 1] + 1;
    SelectItem item;
    const std::size_t from = rewriter_.outputOffset(current_.front());
    item.expression = trimmed(std::string_view(sql_).substr(from, rewriter_.outputOffset(exprEnd) - from));
    item.star = tokens_[current_.back()].isSymbol("*") && alias == 0;
    item.name = alias != 0 ? identifierName(std::string(tokens_[current_.back()].text))
                           : expressionName(current_.size());
    items_.push_back(std::move(item));
    current_.clear();
}

// The server's name for the first `count` tokens of the item: a dotted
// name's last part, else the text without blanks, unquoted words folded.
std::string SelectListBuilder::expressionName(std::size_t count) const {
    bool dotted = count % 2 == 1;
    for (std::size_t k = 0; k < count && dotted; ++k)
        dotted = k % 2 == 0 ? tokens_[current_[k]].isName() : tokens_[current_[k]].isSymbol(".");
    if (dotted) return identifierName(std::string(tokens_[current_[count - 1]].text));
    std::string name;
    for (std::size_t k = 0; k < count; ++k) {
        const SqlToken& token = tokens_[current_[k]];
        name += token.kind == SqlTokenKind::Word ? identifierName(std::string(token.text)) : std::string(token.text);
    }
    return name;
}

}  // namespace engine
