// Layout of the PRINT and DPRINT tables.
#include "Out.h"

#include <algorithm>

namespace Transl {

namespace {

std::size_t rowCount(const std::vector<Out::Column>& columns)
{
    std::size_t rows = 1;
    for (const Out::Column& column : columns)
        rows = std::max(rows, column.size());
    return rows;
}

// Appends `text` right-aligned in `width` characters (never cut) to `line`.
void appendRightAligned(std::string& line, std::string_view text, std::size_t width)
{
    line.append(width > text.size() ? width - text.size() : 0, ' ');
    line.append(text);
}

// `text` right-aligned in `width` characters.
std::string rightAligned(const std::string& text, std::size_t width)
{
    std::string aligned;
    appendRightAligned(aligned, text, width);
    return aligned;
}

// Appends the DPRINT label of a cell: "{name}[ n]" for an array element (blanks of
// the same width past the array's end), the name in the first row of a scalar
// (blanks later), then "=" when the value has this element.
void appendCellLabel(std::string& line, const Out::Column& column, std::size_t row, const std::string& rowCountText)
{
    const bool present = row < column.size();
    if (column.isArray()) {
        const std::string number = rightAligned(std::to_string(row + 1), rowCountText.size());
        const std::size_t width = column.name().size() + number.size() + 4;
        if (present)
            line.append("{").append(column.name()).append("}[").append(number).append("]");
        else
            line.append(width, ' ');
    } else if (row == 0) {
        line.append(column.name());
    } else {
        line.append(column.name().size(), ' ');
    }
    line += present ? '=' : ' ';
}

// Appends the text of one row of the table.
void appendRow(std::string& text, const std::vector<Out::Column>& columns, std::size_t row,
               const std::string& rowCountText, bool labelled)
{
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Out::Column& column = columns[i];
        if (labelled)
            appendCellLabel(text, column, row, rowCountText);
        appendRightAligned(text, row < column.size() ? column.text(row) : std::string_view(), column.width());
        if (i + 1 < columns.size())
            text += "  ";
    }
    text += '\n';
}

// Rows are gathered and written in pieces of about this size: one write and flush
// per row would cost more than the rest of a large PRINT together. Nothing can fail
// between computing a table and writing it, so no row is lost by the gathering.
constexpr std::size_t kPieceSize = 64 * 1024;

} // namespace

void Out::Column::add(std::string_view text)
{
    chars_.append(text);
    ends_.push_back(chars_.size());
    width_ = std::max(width_, text.size());
}

std::string_view Out::Column::text(std::size_t i) const
{
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(chars_).substr(begin, ends_[i] - begin);
}

void Out::printTable(const std::vector<Column>& columns, bool labelled)
{
    const std::size_t rows = rowCount(columns);
    const std::string rowCountText = std::to_string(rows);
    std::string piece;
    piece.reserve(kPieceSize + 256);
    for (std::size_t row = 0; row < rows; ++row) {
        appendRow(piece, columns, row, rowCountText, labelled);
        if (piece.size() >= kPieceSize) {
            writeOutput(piece);
            piece.clear();
        }
    }
    piece += '\n';
    writeOutput(piece);
}

} // namespace Transl
