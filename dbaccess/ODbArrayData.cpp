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

void ODbArrayData::setAind(unsigned int index) const
{
    if (index >= variable().getArraySize())
        throw ODbException();
    index_ = index;
}

void ODbArrayData::setShortInt(short value, unsigned int index)
{
    setAind(index);
    setShortInt(value);
}

void ODbArrayData::setLongInt(long value, unsigned int index)
{
    setAind(index);
    setLongInt(value);
}

void ODbArrayData::setDouble(double value, unsigned int index)
{
    setAind(index);
    setDouble(value);
}

void ODbArrayData::setCString(const char* text, unsigned int index)
{
    setAind(index);
    setCString(text);
}

void ODbArrayData::setTextOf(const ODbData& source, unsigned int index)
{
    setAind(index);
    setTextOf(source);
}

void ODbArrayData::setString(const std::string& text, unsigned int index)
{
    setAind(index);
    setString(text);
}

void ODbArrayData::setRaw(const unsigned char* bytes, unsigned int length, unsigned int index)
{
    setAind(index);
    setRaw(bytes, length);
}

void ODbArrayData::setBool(bool value, unsigned int index)
{
    setAind(index);
    setBool(value);
}

void ODbArrayData::setDate(const ODbDate& date, unsigned int index)
{
    setAind(index);
    setDate(date);
}

short ODbArrayData::getShortInt(unsigned int index) const
{
    setAind(index);
    return getShortInt();
}

long ODbArrayData::getLongInt(unsigned int index) const
{
    setAind(index);
    return getLongInt();
}

double ODbArrayData::getDouble(unsigned int index) const
{
    setAind(index);
    return getDouble();
}

char* ODbArrayData::getCString(unsigned int index) const
{
    setAind(index);
    return getCString();
}

std::string ODbArrayData::getString(unsigned int index)
{
    setAind(index);
    return getString();
}

void ODbArrayData::getRaw(unsigned char** bytes, unsigned int& length, unsigned int index) const
{
    setAind(index);
    getRaw(bytes, length);
}

unsigned char* ODbArrayData::getRaw(unsigned int index) const
{
    setAind(index);
    return getRaw();
}

bool ODbArrayData::getBool(unsigned int index) const
{
    setAind(index);
    return getBool();
}

ODbDate& ODbArrayData::getDate(unsigned int index) const
{
    setAind(index);
    return getDate();
}

bool ODbArrayData::isNull(unsigned int index) const
{
    setAind(index);
    return isNull();
}

void ODbArrayData::setNull(unsigned int index)
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

unsigned int ODbArrayData::getArraySize() const
{
    return variable().getArraySize();
}

void ODbArrayData::resizeArray(unsigned int n)
{
    variable().resizeArray(n);
}

void ODbArrayData::resizeArray(unsigned int n, bool frozen)
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
