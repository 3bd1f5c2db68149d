// The select list of a query as the describe needs it: one SelectItem per
// top-level item, with its translated text and the column name the server
// would report for it.
#pragma once

#include "sql/SqlDialect.h"
#include "sql/SqlRewriter.h"
#include "sql/SqlTokenizer.h"

#include <cstddef>
#include <string>
#include <vector>

namespace engine {

class SelectListBuilder {
public:
    // `tokens` is the whole statement; `rewriter` has translated it into `sql`.
    SelectListBuilder(const std::vector<SqlToken>& tokens, const SqlRewriter& rewriter, const std::string& sql)
        : tokens_(tokens), rewriter_(rewriter), sql_(sql) {}

    // The items between the first SELECT at nesting depth 0 and the FROM (or
    // INTO, or the end) at that depth.
    std::vector<SelectItem> build();

private:
    static bool isQuantifier(const SqlToken& token);
    std::size_t aliasLength() const;
    void finishItem();
    std::string expressionName(std::size_t count) const;

    const std::vector<SqlToken>& tokens_;  // the whole statement
    const SqlRewriter& rewriter_;          // maps tokens to the translated text
    const std::string& sql_;               // the translated text
    std::vector<std::size_t> current_;     // significant tokens of the open item
    std::vector<SelectItem> items_;        // the finished items
};

}  // namespace engine
