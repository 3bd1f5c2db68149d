// The script output stream: everything PRINT and DPRINT write, laid out as a table
// whose columns are the printed values and whose rows are their elements.
#pragma once

#include "TextStream.h"

#include <cstdint>
#include <functional>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace Transl {

class Out {
public:
    // One printed value, as the table needs it: its name and the texts of its
    // elements. Either the column keeps the texts, end to end in chunks (a large
    // array prints millions of short texts, and one object each would cost more
    // than the texts; a growing array is never copied), or they stay where they
    // are and are read twice, once for the width and once for the table.
    class Column {
    public:
        // Text i of `size` texts; the view is used before the next call.
        using TextOf = std::function<std::string_view(std::size_t)>;

        // A column that keeps its texts, added one by one; room for the lengths
        // of `expected` texts is taken at once.
        Column(std::string name, bool isArray, std::size_t expected = 1);
        // A column that reads its texts through textOf.
        Column(std::string name, bool isArray, std::size_t size, TextOf textOf);

        // Appends the text of the next element (a column that keeps its texts).
        void add(std::string_view text);

        const std::string& name() const { return name_; }  // labels of DPRINT
        bool isArray() const { return isArray_; }  // arrays label each element
        std::size_t size() const { return textOf_ ? size_ : lengths_.size(); }
        // The length of the longest text.
        std::size_t width() const { return width_; }

        // Gives the texts of a column in order, the first one first.
        class Reader {
        public:
            explicit Reader(const Column& column) : column_(&column) {}
            // The next text; empty past the last one. A kept text that does not
            // fit in the rest of its chunk starts the next one.
            std::string_view next()
            {
                if (index_ >= column_->size())
                    return std::string_view();
                if (column_->textOf_)
                    return column_->textOf_(index_++);
                const std::size_t length = column_->lengths_[index_++];
                if (offset_ + length > column_->chunks_[chunk_].size()) {
                    ++chunk_;
                    offset_ = 0;
                }
                const char* text = column_->chunks_[chunk_].data() + offset_;
                offset_ += length;
                return std::string_view(text, length);
            }

        private:
            const Column* column_;
            std::size_t index_ = 0;
            std::size_t chunk_ = 0;
            std::size_t offset_ = 0;  // where the next kept text starts in its chunk
        };

    private:
        std::string name_;
        bool isArray_;
        // The texts end to end, in chunks of at least kChunkSize bytes; a text
        // never spans two chunks. A chunk is cut to its texts when the next one
        // starts; the last one is used up to used_.
        std::vector<std::string> chunks_;
        std::size_t used_ = 0;
        std::vector<std::uint32_t> lengths_; // of each text (an element holds far less than 4 GB)
        std::size_t width_ = 0;
        std::size_t size_ = 0;  // texts read through textOf_
        TextOf textOf_;         // empty when the column keeps its texts
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
