// Typed access to one element of a dynamic variable: reads and writes it as a
// short, long, double, text, bytes, bool, date, LONG or LONG RAW, converting
// between the caller's value and the element's external type.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ODbTypes.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbDynamicVariable;
class ODbDataInterface;
class ODbDate;
class ODbLong;
class ODbLongRaw;

// Points at a variable it does not own. Texts and bytes returned by a
// conversion stay valid until the next conversion of the same kind on the same
// accessor or until the accessor dies. Every operation checks that the current
// element exists (empty-message ODbException otherwise).
class VORDB_API ODbData {
public:
    ODbData();
    ODbData(ODbDynamicVariable& var);
    // Copies the variable and the index, not the buffers.
    ODbData(const ODbData& other);
    ODbData& operator=(const ODbData& other);
    // Points at var and keeps the index.
    ODbData& operator=(ODbDynamicVariable& var);
    virtual ~ODbData();

    // Writing a value makes the element not NULL; an empty or null text and
    // null or zero bytes make it NULL. A failed write leaves the element as it was.
    void setShortInt(short value);
    void setLongInt(long value);
    void setDouble(double value);
    void setCString(const char* text);
    void setString(const std::string& text);
    // The current element of `source` as text, stored as setCString stores it.
    // A number whose text gives it back unchanged goes between number elements
    // without the text, which saves both conversions.
    void setTextOf(const ODbData& source);
    void setRaw(const unsigned char* bytes, unsigned int length);
    void setBool(bool value);
    // Write the value of a view into the element (the view normally comes from
    // the matching getter of this accessor).
    void setDate(const ODbDate& date);
    void setLong(const ODbLong& text);
    void setLongRaw(const ODbLongRaw& bytes);
    void setNull();

    short getShortInt() const;
    long getLongInt() const;
    double getDouble() const;
    // Never null for a NULL element (the library's null string); null only for
    // an integer element of a size other than 2 or 4.
    char* getCString() const;
    std::string getString();
    void getRaw(unsigned char** bytes, unsigned int& length) const;
    unsigned char* getRaw() const;
    bool getBool() const;
    // Views owned by the accessor, replaced by the next view getter.
    ODbDate& getDate() const;
    ODbLong& getLong() const;
    ODbLongRaw& getLongRaw() const;
    bool isNull() const;
    unsigned int getBufferLength() const;
    ODbDynamicVariable* getDynamicVariable() const { return var_; }

protected:
    // Views of the index-taking accessors are created by them and stored here.
    void setView(std::unique_ptr<ODbDataInterface> view) const;
    // The variable, checked to exist.
    ODbDynamicVariable& variable() const;

    ODbDynamicVariable* var_;                         // not owned
    mutable ODbIndex index_;                          // current element
    mutable std::vector<char> text_;                  // last text conversion; empty means none
    mutable std::vector<unsigned char> raw_;          // last text-to-bytes conversion
    mutable std::unique_ptr<ODbDataInterface> view_;  // last view handed out

private:
    // The current element, checked against the array size.
    unsigned char* element() const;
    void storeText(const char* text, std::size_t length);
    void storeBytes(const unsigned char* bytes, unsigned int length);
    void markNotNull();
};

} // namespace Oracle
