#include "ODbLongRaw.h"

#include "HexText.h"
#include "ODbDynamicVariable.h"
#include "ODbException.h"
#include "ODbLob.h"

namespace Oracle {

ODbLongRaw::ODbLongRaw(const ODbDynamicVariable& var) : ODbDataInterface(var)
{
    if (var.getFtype() != extLongRaw)
        throw ODbException();
}

ODbLongRaw::ODbLongRaw(const ODbLongRaw& other) : ODbDataInterface(other) {}

ODbLongRaw& ODbLongRaw::operator=(const ODbLongRaw& other)
{
    ODbDataInterface::operator=(other);
    return *this;
}

ODbLongRaw::~ODbLongRaw() = default;

void ODbLongRaw::getUnchainedRaw(const unsigned char*& bytes, unsigned int& length)
{
    bytes_.clear();
    bytes = nullptr;
    length = 0;
    const ODbIndex row = selected();
    const ODbDynamicVariable& var = variable();
    if (var.isNull(row))
        return;
    ODbLob& lob = var.chain();
    if (!lob.first(row))
        throw ODbException(); // not NULL, yet nothing was ever stored
    bytes_.resize(lob.getTotalRawSize(row));
    lob.copyRow(row, bytes_.data());
    bytes = bytes_.empty() ? nullptr : bytes_.data();
    length = static_cast<unsigned int>(bytes_.size());
}

void ODbLongRaw::setUnchainedRaw(const unsigned char* bytes, unsigned int length)
{
    const ODbIndex row = selected();
    const ODbDynamicVariable& var = variable();
    ODbLob& lob = var.chain();
    if (bytes == nullptr || length == 0) {
        lob.deleteRow(row);
        var.getIndicators()[row] = -1;
        return;
    }
    lob.replaceRow(row, bytes, length);
    var.getIndicators()[row] = static_cast<short>(var.getElemSize());
}

char* ODbLongRaw::getCString()
{
    text_.clear();
    const unsigned char* bytes = nullptr;
    unsigned int length = 0;
    getUnchainedRaw(bytes, length);
    if (bytes == nullptr)
        return nullptr;
    HexText::encode(bytes, length, text_);
    return text_.data();
}

void ODbLongRaw::assign(ODbDynamicVariable& var) const
{
    const ODbDynamicVariable& viewed = variable();
    if (&var == &viewed)
        return; // the setters wrote into it already
    if (var.getFtype() != extLongRaw)
        throw ODbException();
    var.chain() = viewed.chain();
}

} // namespace Oracle
