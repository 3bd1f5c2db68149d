// The script output stream: everything PRINT and DPRINT write, laid out as a table
// whose columns are the printed values and whose rows are their elements.
#pragma once

#include "TextStream.h"

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace Transl {

class Out {
public:
    // One printed value, as the table needs it: its name and the texts of its
    // elements, kept end to end in one buffer (a large array prints millions of
    // short texts, and one object each would cost more than the texts). Room for
    // `expected` texts is taken at once, each about as long as the first one added,
    // so that a large array is not copied again and again while it grows.
    class Column {
    public:
        Column(std::string name, bool isArray, std::size_t expected = 1);

        // Appends the text of the next element.
        void add(std::string_view text);

        const std::string& name() const { return name_; }  // labels of DPRINT
        bool isArray() const { return isArray_; }  // arrays label each element
        std::size_t size() const { return ends_.size(); }
        // Text of element i (0-based, i < size()).
        std::string_view text(std::size_t i) const;
        // The length of the longest text.
        std::size_t width() const { return width_; }

    private:
        std::string name_;
        bool isArray_;
        std::string chars_;               // the texts, end to end
        std::vector<std::size_t> ends_;   // where each text ends in chars_
        std::size_t width_ = 0;
    };

    Out() = default;
    virtual ~Out() = default;
    Out(const Out&) = delete;
    Out& operator=(const Out&) = delete;

    // Opens the output file, or standard output for "con"; throws std::system_error
    // when the file cannot be created.
    void openOutputStream(const std::string& name) { outputStream_.open(name, std::cout); }
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
