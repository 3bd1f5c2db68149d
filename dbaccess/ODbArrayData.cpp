#include "ODbArrayData.h"

#include "ODbDynamicVariable.h"
#include "ODbException.h"
#include "ODbLongArr.h"
#include "ODbLongRawArr.h"

namespace Oracle {

ODbArrayData::ODbArrayData() = default;

ODbArrayData::ODbArrayData(const ODbArrayData& other) = default;

ODbArrayData::ODbArrayData(ODbDynamicVariable& var) : ODbData(var) {}

ODbArrayData& ODbArrayData::operator=(const ODbArrayData& other)
{
    ODbData::operator=(other);
    return *this;
}

ODbArrayData& ODbArrayData::operator=(ODbDynamicVariable& var)
{
    ODbData::operator=(var);
    return *this;
}

ODbArrayData::~ODbArrayData() = default;

void ODbArrayData::setAind(ODbIndex index) const
{
    if (var_ == nullptr || index >= var_->getArraySize())
        throw ODbException();
    index_ = index;
}

void ODbArrayData::setShortInt(short value, ODbIndex index)
{
    setAind(index);
    setShortInt(value);
}

void ODbArrayData::setLongInt(long value, ODbIndex index)
{
    setAind(index);
    setLongInt(value);
}

void ODbArrayData::setDouble(double value, ODbIndex index)
{
    setAind(index);
    setDouble(value);
}

void ODbArrayData::setCString(const char* text, ODbIndex index)
{
    setAind(index);
    setCString(text);
}

void ODbArrayData::setTextOf(const ODbData& source, ODbIndex index)
{
    setAind(index);
    setTextOf(source);
}

void ODbArrayData::setString(const std::string& text, ODbIndex index)
{
    setAind(index);
    setString(text);
}

void ODbArrayData::setRaw(const unsigned char* bytes, unsigned int length, ODbIndex index)
{
    setAind(index);
    setRaw(bytes, length);
}

void ODbArrayData::setBool(bool value, ODbIndex index)
{
    setAind(index);
    setBool(value);
}

void ODbArrayData::setDate(const ODbDate& date, ODbIndex index)
{
    setAind(index);
    setDate(date);
}

short ODbArrayData::getShortInt(ODbIndex index) const
{
    setAind(index);
    return getShortInt();
}

long ODbArrayData::getLongInt(ODbIndex index) const
{
    setAind(index);
    return getLongInt();
}

double ODbArrayData::getDouble(ODbIndex index) const
{
    setAind(index);
    return getDouble();
}

char* ODbArrayData::getCString(ODbIndex index) const
{
    setAind(index);
    return getCString();
}

std::string ODbArrayData::getString(ODbIndex index)
{
    setAind(index);
    return getString();
}

void ODbArrayData::getRaw(unsigned char** bytes, unsigned int& length, ODbIndex index) const
{
    setAind(index);
    getRaw(bytes, length);
}

unsigned char* ODbArrayData::getRaw(ODbIndex index) const
{
    setAind(index);
    return getRaw();
}

bool ODbArrayData::getBool(ODbIndex index) const
{
    setAind(index);
    return getBool();
}

ODbDate& ODbArrayData::getDate(ODbIndex index) const
{
    setAind(index);
    return getDate();
}

bool ODbArrayData::isNull(ODbIndex index) const
{
    setAind(index);
    return isNull();
}

void ODbArrayData::setNull(ODbIndex index)
{
    setAind(index);
    setNull();
}

void ODbArrayData::setLong(const ODbLongArr& text)
{
    ODbData::setLong(text);
}

// The plain view is replaced at once by the whole-array one, which needs the
// same checks.
ODbLongArr& ODbArrayData::getLong() const
{
    ODbData::getLong();
    return adoptView(new ODbLongArr(*var_));
}

void ODbArrayData::setLongRaw(const ODbLongRawArr& bytes)
{
    ODbData::setLongRaw(bytes);
}

ODbLongRawArr& ODbArrayData::getLongRaw() const
{
    ODbData::getLongRaw();
    return adoptView(new ODbLongRawArr(*var_));
}

ODbIndex ODbArrayData::getArraySize() const
{
    return variable().getArraySize();
}

void ODbArrayData::resizeArray(ODbIndex n)
{
    variable().resizeArray(n);
}

void ODbArrayData::resizeArray(ODbIndex n, bool frozen)
{
    variable().resizeArray(n);
    var_->setFrozen(frozen);
}

void ODbArrayData::setArrayNull()
{
    variable().setArrayNull();
}

void ODbArrayData::setArrayNotNull()
{
    variable().setArrayNotNull();
}

void ODbArrayData::setPlSqlTab(bool on)
{
    variable().setPlSqlTab(on);
}

bool ODbArrayData::isPlSqlTab() const
{
    return variable().isPlSqlTab();
}

} // namespace Oracle
