// A cursor for queries: defines, batch fetches and row navigation on top of
// what a statement cursor does.
#pragma once

#include "ItemList.h"
#include "ODbTypes.h"
#include "RefCounted.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbConnect;
class ODbBindVariable;
class ODbDynamicVariable;

// Rows arrive in batches of the fetch size into the defined arrays; the
// current row is an index into the batch. Defined variables must stay alive
// while the cursor is open.
class VORDB_API ODbSelectCursor : public virtual Utils::RefCounted {
public:
    ODbSelectCursor(const ODbSelectCursor&) = delete;
    ODbSelectCursor& operator=(const ODbSelectCursor&) = delete;

    // Ends the fetch; every next() is false until reset() or a new open().
    virtual void cancel() = 0;
    // Prepares `stmText` (not copied) for batches of `fetchSize` rows.
    virtual void open(const char* stmText, ODbIndex fetchSize) = 0;
    virtual void close();
    virtual void bind(const char* name, ODbDynamicVariable& var, ODbIndex iters) = 0;
    virtual void bind(int pos, ODbDynamicVariable& var, ODbIndex iters) = 0;
    // Defines `var` (an array of at least the fetch size) for the 1-based column `pos`.
    virtual void define(int pos, ODbDynamicVariable& var) = 0;
    // Rows fetched so far by the current execution.
    virtual ODbIndex getRowProc() const = 0;
    virtual bool isOpen() const = 0;
    virtual ODbConnect& getConnection() const = 0;
    virtual void registerSelectItemList(const ItemList<ODbDynamicVariable>& list);
    virtual void registerBindItemList(const ItemList<ODbBindVariable>& list) = 0;
    virtual void exec(ODbIndex iters) = 0;
    virtual void fetch(ODbIndex rows) = 0;
    // Executes and fetches the first `rows` rows at once.
    virtual void exfet(ODbIndex rows) = 0;
    // The last execute or fetch reached the end of the rows.
    virtual bool eof() = 0;

    // Executes and positions on the first row; false when there is none.
    bool first();
    // Moves to the next row, fetching the next batch when needed; false at the
    // end. Without a current row it starts over with first().
    bool next();
    // Forgets the position; the next first() or next() executes again.
    void reset();
    // The current row within the batch, or -1.
    ODbSignedIndex getCurAind() const;

protected:
    ODbSelectCursor();
    ~ODbSelectCursor() override;

    void initSelVar(ODbIndex fetchSize);
    void setCancelled() { cancelled_ = true; }
    bool isPiecewiseFetch() const { return piecewiseFetch_; }
    void setPiecewiseFetch() { piecewiseFetch_ = true; }

private:
    bool nextBatch();

    bool cancelled_;
    const ItemList<ODbDynamicVariable>* selectList_; // the owner's list; not owned
    bool piecewiseFetch_;                            // a LONG or LONG RAW column is defined
    ODbSignedIndex curRow_;                          // index in the batch, -1 when none
    ODbIndex rowsInBatch_;
    ODbIndex rowsSoFar_;                             // cumulative count at the end of the last batch
    ODbIndex fetchSize_;                             // rows per batch
};

} // namespace Oracle
