// A cursor for statements that return no rows: prepares a statement text,
// binds dynamic variables to its placeholders and executes it.
#pragma once

#include "ItemList.h"
#include "ODbTypes.h"
#include "RefCounted.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbConnect;
class ODbBindVariable;
class ODbDynamicVariable;

// Calling order: open; register the bind list and bind each variable; exec;
// close. Bound variables must stay alive and keep their buffers while bound,
// since the call interface reads and writes them in place.
class VORDB_API ODbCursor : public virtual Utils::RefCounted {
public:
    ODbCursor(const ODbCursor&) = delete;
    ODbCursor& operator=(const ODbCursor&) = delete;

    // Prepares `stmText`, which is not copied and must outlive the open state.
    virtual void open(const char* stmText) = 0;
    virtual void close();
    // Runs the statement `iters` times over the bound arrays.
    virtual void exec(ODbIndex iters) = 0;
    // Binds `var` to the placeholder named `name` (":name" without the colon).
    virtual void bind(const char* name, ODbDynamicVariable& var, ODbIndex iters) = 0;
    // Binds `var` to the placeholder at 1-based `pos`.
    virtual void bind(int pos, ODbDynamicVariable& var, ODbIndex iters) = 0;
    // Rows processed by the last execute.
    virtual ODbIndex getRowProc() const = 0;
    virtual ODbConnect& getConnection() const = 0;
    // Remembers the owner's bind list; LONG or LONG RAW entries make
    // execution piecewise.
    virtual void registerBindItemList(const ItemList<ODbBindVariable>& list);

    bool isOpen() const;

protected:
    ODbCursor();
    ~ODbCursor() override;

    // Refuses to open a cursor that is open, or with a null or empty text.
    void checkOpenable(const char* stmText) const;
    void setOpen(const char* stmText);
    // Refuses a bind the call interface cannot serve: a LONG or LONG RAW
    // variable of other than one element (empty-message ODbException), or an
    // iteration count beyond the array of a variable that is not a PL/SQL table.
    static void checkBindable(const ODbDynamicVariable& var, ODbIndex iters);
    const char* stmText() const { return stmText_; }
    bool isPiecewise() const { return piecewise_; }
    void setPiecewise() { piecewise_ = true; }

private:
    bool open_;
    const char* stmText_;                         // the caller's text, not copied
    bool piecewise_;                              // a LONG or LONG RAW value is bound
    const ItemList<ODbBindVariable>* bindList_;   // the owner's list; not owned
};

} // namespace Oracle
