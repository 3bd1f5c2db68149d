// Element-indexed access to a dynamic variable, with array-wide operations.
#pragma once

#include <memory>
#include <string>

#include "ODbData.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbLongArr;
class ODbLongRawArr;

// Each indexed operation selects its element first (setAind) and the element
// stays selected, so later ODbData operations act on it.
class VORDB_API ODbArrayData : public ODbData {
public:
    ODbArrayData();
    ODbArrayData(const ODbArrayData& other);
    ODbArrayData(ODbDynamicVariable& var);
    ODbArrayData& operator=(const ODbArrayData& other);
    ODbArrayData& operator=(ODbDynamicVariable& var);
    ~ODbArrayData() override;

    using ODbData::getBool;
    using ODbData::getCString;
    using ODbData::getDate;
    using ODbData::getDouble;
    using ODbData::getLongInt;
    using ODbData::getRaw;
    using ODbData::getShortInt;
    using ODbData::getString;
    using ODbData::isNull;
    using ODbData::setBool;
    using ODbData::setCString;
    using ODbData::setDate;
    using ODbData::setDouble;
    using ODbData::setLong;
    using ODbData::setLongInt;
    using ODbData::setLongRaw;
    using ODbData::setNull;
    using ODbData::setRaw;
    using ODbData::setShortInt;
    using ODbData::setString;
    using ODbData::setTextOf;

    void setShortInt(short value, unsigned int index);
    void setLongInt(long value, unsigned int index);
    void setDouble(double value, unsigned int index);
    void setCString(const char* text, unsigned int index);
    void setString(const std::string& text, unsigned int index);
    void setTextOf(const ODbData& source, unsigned int index);
    void setRaw(const unsigned char* bytes, unsigned int length, unsigned int index);
    void setBool(bool value, unsigned int index);
    void setDate(const ODbDate& date, unsigned int index);
    short getShortInt(unsigned int index) const;
    long getLongInt(unsigned int index) const;
    double getDouble(unsigned int index) const;
    char* getCString(unsigned int index) const;
    std::string getString(unsigned int index);
    void getRaw(unsigned char** bytes, unsigned int& length, unsigned int index) const;
    unsigned char* getRaw(unsigned int index) const;
    bool getBool(unsigned int index) const;
    ODbDate& getDate(unsigned int index) const;
    bool isNull(unsigned int index) const;
    void setNull(unsigned int index);

    // Whole-array LONG and LONG RAW views; the accessor owns the view.
    void setLong(const ODbLongArr& text);
    ODbLongArr& getLong() const;
    void setLongRaw(const ODbLongRawArr& bytes);
    ODbLongRawArr& getLongRaw() const;

    unsigned int getArraySize() const;
    void resizeArray(unsigned int n);
    void resizeArray(unsigned int n, bool frozen);
    void setArrayNull();
    void setArrayNotNull();
    void setPlSqlTab(bool on);
    bool isPlSqlTab() const;

protected:
    // Selects element index; outside the array an empty-message ODbException
    // and the selection is kept.
    void setAind(unsigned int index) const;

private:
    // Takes ownership of a new whole-array view, selects the current element in
    // it and makes it the accessor's view.
    template <class View> View& adoptView(View* view) const
    {
        std::unique_ptr<View> owned(view);
        owned->setAind(static_cast<int>(index_));
        View& result = *owned;
        setView(std::move(owned));
        return result;
    }
};

} // namespace Oracle
