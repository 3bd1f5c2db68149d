// The typed, nullable array buffer through which every value passes between the
// program and the call interface, with its per-element indicator, length,
// piece-length and return-code arrays.
#pragma once

#include <memory>

#include "ODbTypes.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbLob;

// Either not initialised (external type 0, no buffers) or initialised with a
// fixed external type and element size. Elements are numbered from 0. LONG and
// LONG RAW variables hold one piece chain for all elements instead of an element
// buffer. The variable owns all its arrays; a copy owns its own.
//
// Pointer getters are const but hand out writable arrays: the cursors give them
// to the call interface, which writes into them, and views over a const
// variable write their element through them.
class VORDB_API ODbDynamicVariable {
public:
    ODbDynamicVariable();
    ODbDynamicVariable(ExtTypes type, int elemSize, ODbIndex arraySize);
    ODbDynamicVariable(const ODbDynamicVariable& other);
    ODbDynamicVariable& operator=(const ODbDynamicVariable& other);
    virtual ~ODbDynamicVariable();

    // Makes a not-initialised variable ready: every element NULL, lengths and
    // piece lengths the element size, return codes 0, support type supNone.
    // Throws an empty-message ODbException when the variable is initialised
    // already or the element size does not suit the type (at most 32767; 8 for
    // extFloat, 7 for extDate, room for the length prefix of raw types).
    virtual void init(ExtTypes type, int elemSize, ODbIndex arraySize);
    // Back to not initialised; the handle is kept. No effect when not initialised.
    virtual void deleteData();
    // Copies count elements of src starting at its element from into elements
    // 0..count-1 (values, indicators, lengths, return codes, piece lengths).
    // Both variables must have the same type and element size and the range must
    // lie in both, else an empty-message ODbException and nothing is copied.
    virtual void assignData(const ODbDynamicVariable& src, ODbIndex from, ODbIndex count);
    // Copies every element of src; src must match in type, element size and
    // array size (empty-message ODbException otherwise).
    virtual void assignData(const ODbDynamicVariable& src);
    // Changes the element count keeping the first min(old, n) elements; new
    // elements are NULL with zeroed bytes. No effect on a not-initialised variable.
    virtual void resizeArray(ODbIndex n);
    virtual bool isFrozen() const;

    // True when the elements live in the inline element buffer; false for LONG
    // and LONG RAW, for which create=true also replaces the chain by an empty one.
    bool nonNativeData(bool create);
    // Releases the element buffer or piece chain.
    void freeData();

    // Per-element operations: i must be below the array size (empty-message
    // ODbException otherwise).
    void setNull(ODbIndex i);
    void setNotNull(ODbIndex i);
    bool isNull(ODbIndex i) const;
    short getIndVar(ODbIndex i) const;
    unsigned short getLenVar(ODbIndex i) const;
    // Address of element i in the element buffer (unchecked: hot path; callers check).
    unsigned char* val(ODbIndex i) const { return data_.get() + static_cast<std::size_t>(i) * elemSize_; }

    void setArrayNull();
    void setArrayNotNull();

    unsigned short getElemSize() const { return elemSize_; }
    ODbIndex getArraySize() const { return arraySize_; }
    ExtTypes getFtype() const { return extType_; }

    // What the cursors hand to the call interface (null while not initialised).
    unsigned char* getData() const { return data_.get(); }
    ODbLob* getLob() const { return lob_.get(); }
    // The piece chain of a LONG or LONG RAW variable; an empty-message
    // ODbException when the variable holds none.
    ODbLob& chain() const;
    short* getIndicators() const { return indicators_.get(); }
    // The length, piece-length and return-code arrays are made at the first
    // call, as only variables bound to a statement use them.
    unsigned short* getLengths() const;
    unsigned int* getPieceLengths() const;
    unsigned short* getReturnCodes() const;
    // The call interface updates the current-elements count of a PL/SQL table
    // in place, so it has the call interface's own 32-bit width in both builds.
    unsigned int* getCurElementsPtr() { return &curElements_; }
    unsigned int getCurElements() const { return curElements_; }
    void setCurElements(unsigned int n) { curElements_ = n; }

    // Bind or define handle of the cursor that bound or defined this variable last.
    void* getHandle() const { return handle_; }
    void setHandle(void* handle) { handle_ = handle; }

    SupportTypes getSupportType() const { return supportType_; }
    void setSupportType(SupportTypes type) { supportType_ = type; }
    void setFrozen(bool frozen) { frozen_ = frozen; }
    bool isPlSqlTab() const { return plSqlTab_; }
    void setPlSqlTab(bool on) { plSqlTab_ = on; }

private:
    void checkIndex(ODbIndex i) const;
    void checkCompatible(const ODbDynamicVariable& src) const;
    void copyElements(const ODbDynamicVariable& src, ODbIndex from, ODbIndex count);
    void copyState(const ODbDynamicVariable& src);
    void reset();
    // `array`, made with every entry `fill` when there is none yet; null while
    // the variable is not initialised.
    template <class T> T* entries(std::unique_ptr<T[]>& array, T fill) const;
    template <class T> void copyEntries(std::unique_ptr<T[]>& target, const std::unique_ptr<T[]>& source, T fill,
                                        ODbIndex from, ODbIndex count);

    // Frees what calloc gave: a large element buffer comes zeroed from fresh
    // pages that are only touched when an element is written.
    struct FreeBytes {
        void operator()(unsigned char* bytes) const;
    };
    using Bytes = std::unique_ptr<unsigned char[], FreeBytes>;
    static Bytes zeroedBytes(std::size_t count);

    Bytes data_;                                        // arraySize_ * elemSize_ bytes; null for LONG types
    std::unique_ptr<ODbLob> lob_;                      // piece chain of a LONG or LONG RAW variable
    std::unique_ptr<short[]> indicators_;              // -1 NULL, else not NULL (the element size is written)
    mutable std::unique_ptr<unsigned short[]> lengths_;     // actual lengths from define and fixed table binds
    mutable std::unique_ptr<unsigned int[]> pieceLengths_;  // lengths given by the dynamic bind callbacks
    mutable std::unique_ptr<unsigned short[]> returnCodes_; // column-level return codes
    ExtTypes extType_;                                 // extNone while not initialised
    unsigned short elemSize_;                          // bytes per element
    void* handle_;                                     // owned by the call interface
    ODbIndex arraySize_;                               // number of elements
    SupportTypes supportType_;                         // kind the variable was typed from
    bool frozen_;                                      // owner fixed the array size
    unsigned int curElements_;                         // element count of a PL/SQL table bind
    bool plSqlTab_;                                    // bound as an index-by table
};

} // namespace Oracle
