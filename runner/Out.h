// The script output stream: everything PRINT and DPRINT write, laid out as a table
// whose columns are the printed values and whose rows are their elements.
#pragma once

#include "TextStream.h"

#include <string>
#include <string_view>
#include <vector>

namespace Transl {

class Out {
public:
    // One printed value, as the table needs it.
    struct Column {
        std::string name;                // the value's name (labels of DPRINT)
        bool isArray = false;            // array-typed values label each element
        std::vector<std::string> texts;  // text of each element, in element order
    };

    Out() = default;
    virtual ~Out() = default;
    Out(const Out&) = delete;
    Out& operator=(const Out&) = delete;

    // Opens the output file, or the console for "con".
    void openOutputStream(const std::string& name) { outputStream_.open(name); }
    // Writes to the destination of another interpreter.
    void shareOutputStream(const Out& other) { outputStream_.share(other.outputStream_); }
    const TextStream& outputStream() const { return outputStream_; }
    // Writes text to the output stream and flushes it.
    void writeOutput(std::string_view text) { outputStream_.write(text); }

    // Writes the values as a table: one row per element number (as many as the
    // longest value has, at least one), cells right-aligned to their column's
    // widest text, columns separated by two blanks, then an empty line. Labelled
    // (DPRINT) cells are preceded by the value's name and, for arrays, the element
    // number.
    void printTable(const std::vector<Column>& columns, bool labelled);

private:
    TextStream outputStream_;  // unopened until the run driver opens it
};

} // namespace Transl
