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

    void setShortInt(short value, ODbIndex index);
    void setLongInt(long value, ODbIndex index);
    void setDouble(double value, ODbIndex index);
    void setCString(const char* text, ODbIndex index);
    void setString(const std::string& text, ODbIndex index);
    void setTextOf(const ODbData& source, ODbIndex index);
    void setRaw(const unsigned char* bytes, unsigned int length, ODbIndex index);
    void setBool(bool value, ODbIndex index);
    void setDate(const ODbDate& date, ODbIndex index);
    short getShortInt(ODbIndex index) const;
    long getLongInt(ODbIndex index) const;
    double getDouble(ODbIndex index) const;
    char* getCString(ODbIndex index) const;
    std::string getString(ODbIndex index);
    void getRaw(unsigned char** bytes, unsigned int& length, ODbIndex index) const;
    unsigned char* getRaw(ODbIndex index) const;
    bool getBool(ODbIndex index) const;
    ODbDate& getDate(ODbIndex index) const;
    bool isNull(ODbIndex index) const;
    void setNull(ODbIndex index);

    // Whole-array LONG and LONG RAW views; the accessor owns the view.
    void setLong(const ODbLongArr& text);
    ODbLongArr& getLong() const;
    void setLongRaw(const ODbLongRawArr& bytes);
    ODbLongRawArr& getLongRaw() const;

    ODbIndex getArraySize() const;
    void resizeArray(ODbIndex n);
    void resizeArray(ODbIndex n, bool frozen);
    void setArrayNull();
    void setArrayNotNull();
    void setPlSqlTab(bool on);
    bool isPlSqlTab() const;

protected:
    // Selects element index; outside the array an empty-message ODbException
    // and the selection is kept.
    void setAind(ODbIndex index) const;

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
