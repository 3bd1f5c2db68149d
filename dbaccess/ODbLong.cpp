#include "ODbLong.h"

#include <cstring>

#include "ODbDynamicVariable.h"
#include "ODbException.h"
#include "ODbLob.h"

namespace Oracle {

ODbLong::ODbLong(const ODbDynamicVariable& var) : ODbDataInterface(var)
{
    if (var.getFtype() != extLong)
        throw ODbException();
}

ODbLong::ODbLong(const ODbLong& other) : ODbDataInterface(other) {}

ODbLong& ODbLong::operator=(const ODbLong& other)
{
    ODbDataInterface::operator=(other);
    return *this;
}

ODbLong::~ODbLong() = default;

char* ODbLong::getCString()
{
    text_.clear();
    const ODbIndex row = selected();
    const ODbDynamicVariable& var = variable();
    if (var.isNull(row))
        return nullptr;
    ODbLob& lob = var.chain();
    if (!lob.first(row))
        throw ODbException(); // not NULL, yet nothing was ever stored
    text_.resize(lob.getTotalRawSize(row) + 1);
    lob.copyRow(row, reinterpret_cast<unsigned char*>(text_.data()));
    text_.back() = '\0';
    return text_.data();
}

void ODbLong::setCString(const char* text)
{
    const ODbIndex row = selected();
    const ODbDynamicVariable& var = variable();
    ODbLob& lob = var.chain();
    if (text == nullptr || *text == '\0') {
        lob.deleteRow(row);
        var.getIndicators()[row] = -1;
        return;
    }
    lob.replaceRow(row, reinterpret_cast<const unsigned char*>(text), std::strlen(text));
    var.getIndicators()[row] = static_cast<short>(var.getElemSize());
}

void ODbLong::assign(ODbDynamicVariable& var) const
{
    const ODbDynamicVariable& viewed = variable();
    if (&var == &viewed)
        return; // the setters wrote into it already
    if (var.getFtype() != extLong)
        throw ODbException();
    var.chain() = viewed.chain();
}

} // namespace Oracle
