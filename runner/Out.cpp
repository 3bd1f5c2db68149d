// Layout of the PRINT and DPRINT tables.
#include "Out.h"

#include <algorithm>
#include <cstring>

namespace Transl {

namespace {

std::size_t rowCount(const std::vector<Out::Column>& columns)
{
    std::size_t rows = 1;
    for (const Out::Column& column : columns)
        rows = std::max(rows, column.size());
    return rows;
}

// Writes `text` at `out`; returns the end of what it wrote. (An empty view may
// have no characters at all, which memcpy must not be given.)
char* put(char* out, std::string_view text)
{
    if (!text.empty())
        std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// Writes `text` right-aligned in `width` characters (never cut) at `out`; returns
// the end of what it wrote.
char* putRightAligned(char* out, std::string_view text, std::size_t width)
{
    const std::size_t blanks = width > text.size() ? width - text.size() : 0;
    std::memset(out, ' ', blanks);
    return put(out + blanks, text);
}

// The longest DPRINT label of a cell of `column`.
std::size_t labelLimit(const Out::Column& column, std::size_t rowCountDigits)
{
    return column.name().size() + (column.isArray() ? rowCountDigits + 4 : 0) + 1;
}

// The longest text a row of the table can have, its newline included.
std::size_t rowLimit(const std::vector<Out::Column>& columns, std::size_t rowCountDigits, bool labelled)
{
    std::size_t limit = 1;
    for (const Out::Column& column : columns)
        limit += column.width() + 2 + (labelled ? labelLimit(column, rowCountDigits) : 0);
    return limit;
}

// Writes the DPRINT label of a cell: "{name}[ n]" for an array element (blanks of
// the same width past the array's end), the name in the first row of a scalar
// (blanks later), then "=" when the value has this element.
char* putCellLabel(char* out, const Out::Column& column, std::size_t row, std::size_t rowCountDigits)
{
    const bool present = row < column.size();
    const std::size_t width = labelLimit(column, rowCountDigits) - 1;
    if (present && column.isArray()) {
        const std::string number = std::to_string(row + 1);
        out = put(put(put(out, "{"), column.name()), "}[");
        out = put(putRightAligned(out, number, rowCountDigits), "]");
    } else if (!column.isArray() && row == 0) {
        out = put(out, column.name());
    } else {
        std::memset(out, ' ', width);
        out += width;
    }
    *out++ = present ? '=' : ' ';
    return out;
}

// Writes the text of one row of the table (at most rowLimit characters); each
// column's reader is at the row's text.
char* putRow(char* out, const std::vector<Out::Column>& columns, std::vector<Out::Column::Reader>& readers,
             std::size_t row, std::size_t rowCountDigits, bool labelled)
{
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Out::Column& column = columns[i];
        if (labelled)
            out = putCellLabel(out, column, row, rowCountDigits);
        out = putRightAligned(out, readers[i].next(), column.width());
        if (i + 1 < columns.size())
            out = put(out, "  ");
    }
    *out++ = '\n';
    return out;
}

// Column texts are kept in chunks of this size: large enough that a chunk holds
// thousands of texts, small enough that little of the last one goes unused.
constexpr std::size_t kChunkSize = 64 * 1024;

// Rows are gathered and written in pieces of about this size: one write and flush
// per row would cost more than the rest of a large PRINT together. Nothing can fail
// between computing a table and writing it, so no row is lost by the gathering.
constexpr std::size_t kPieceSize = 64 * 1024;

} // namespace

Out::Column::Column(std::string name, bool isArray, std::size_t expected)
    : name_(std::move(name)), isArray_(isArray)
{
    lengths_.reserve(expected);
}

Out::Column::Column(std::string name, bool isArray, std::size_t size, TextOf textOf)
    : name_(std::move(name)), isArray_(isArray), size_(size), textOf_(std::move(textOf))
{
    for (std::size_t i = 0; i < size_; ++i)
        width_ = std::max(width_, textOf_(i).size());
}

void Out::Column::add(std::string_view text)
{
    if (chunks_.empty() || used_ + text.size() > chunks_.back().size()) {
        if (!chunks_.empty())
            chunks_.back().resize(used_);
        chunks_.emplace_back(std::max(kChunkSize, text.size()), '\0');
        used_ = 0;
    }
    used_ = static_cast<std::size_t>(put(chunks_.back().data() + used_, text) - chunks_.back().data());
    lengths_.push_back(static_cast<std::uint32_t>(text.size()));
    width_ = std::max(width_, text.size());
}

void Out::printTable(const std::vector<Column>& columns, bool labelled)
{
    const std::size_t rows = rowCount(columns);
    const std::size_t rowCountDigits = std::to_string(rows).size();
    // Room for a full piece and one more row, so a row never has to be checked
    // character by character; one more character for the closing empty line.
    std::string piece(kPieceSize + rowLimit(columns, rowCountDigits, labelled) + 1, ' ');
    char* const begin = piece.data();
    char* out = begin;
    std::vector<Column::Reader> readers(columns.begin(), columns.end());
    for (std::size_t row = 0; row < rows; ++row) {
        out = putRow(out, columns, readers, row, rowCountDigits, labelled);
        if (static_cast<std::size_t>(out - begin) >= kPieceSize) {
            writeOutput(std::string_view(begin, static_cast<std::size_t>(out - begin)));
            out = begin;
        }
    }
    *out++ = '\n';
    writeOutput(std::string_view(begin, static_cast<std::size_t>(out - begin)));
}

} // namespace Transl
