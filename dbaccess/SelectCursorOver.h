// A back end's query cursor is its statement cursor joined with the row
// navigation of ODbSelectCursor. This template makes the join once for both
// back ends: the operations both bases declare go to the statement cursor.
// Private to the library.
#pragma once

#include "ItemList.h"
#include "ODbException.h"
#include "ODbSelectCursor.h"
#include "ODbStatementMessages.h"

namespace Oracle {

class ODbDynamicVariable;

// `Cursor` is the back end's ODbCursorImpl; the back end's query cursor
// derives from SelectCursorOver<ODbCursorImpl> and adds cancel, define,
// fetch, exfet and eof.
template <class Cursor> class SelectCursorOver : public ODbSelectCursor, public Cursor {
public:
    explicit SelectCursorOver(ODbConnect& connection) : Cursor(connection) { longDefines_.create(); }

    void open(const char* stmText, ODbIndex fetchSize) override
    {
        if (fetchSize == 0)
            throw ODbException(Messages::FetchSizeTooSmall, 0, nullptr);
        Cursor::open(stmText);
        this->initSelVar(fetchSize);
    }
    // Opens for batches of one row.
    void open(const char* stmText) override { open(stmText, 1); }
    void close() override { Cursor::close(); }
    void bind(const char* name, ODbDynamicVariable& var, ODbIndex iters) override
    {
        Cursor::bind(name, var, iters);
    }
    void bind(int pos, ODbDynamicVariable& var, ODbIndex iters) override { Cursor::bind(pos, var, iters); }
    ODbIndex getRowProc() const override { return Cursor::getRowProc(); }
    bool isOpen() const override { return ODbCursor::isOpen(); }
    ODbConnect& getConnection() const override { return Cursor::getConnection(); }
    void registerSelectItemList(const ItemList<ODbDynamicVariable>& list) override
    {
        ODbSelectCursor::registerSelectItemList(list);
    }
    void registerBindItemList(const ItemList<ODbBindVariable>& list) override
    {
        Cursor::registerBindItemList(list);
    }
    void exec(ODbIndex iters) override { Cursor::exec(iters); }

protected:
    void forgetState() override
    {
        Cursor::forgetState();
        longDefines_.create();
        ODbSelectCursor::close();
    }

    ItemList<ODbDynamicVariable> longDefines_; // LONG and LONG RAW variables defined here
};

} // namespace Oracle
