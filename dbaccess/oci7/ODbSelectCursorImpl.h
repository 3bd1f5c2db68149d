// A query cursor over the release-7 call interface: defines, batch fetches
// and LONG columns received piece by piece.
#pragma once

#include "ODbCursorImpl.h"
#include "ODbSelectCursor.h"

namespace Oracle {

class ODbSelectCursorImpl : public ODbSelectCursor, public ODbCursorImpl {
public:
    explicit ODbSelectCursorImpl(ODbConnect& connection);
    ~ODbSelectCursorImpl() override;

    void cancel() override;
    void open(const char* stmText, ODbIndex fetchSize) override;
    // Opens for batches of one row.
    void open(const char* stmText) override;
    void close() override;
    void bind(const char* name, ODbDynamicVariable& var, ODbIndex iters) override;
    void bind(int pos, ODbDynamicVariable& var, ODbIndex iters) override;
    void define(int pos, ODbDynamicVariable& var) override;
    ODbIndex getRowProc() const override;
    bool isOpen() const override;
    ODbConnect& getConnection() const override;
    void registerSelectItemList(const ItemList<ODbDynamicVariable>& list) override;
    void registerBindItemList(const ItemList<ODbBindVariable>& list) override;
    void exec(ODbIndex iters) override;
    void fetch(ODbIndex rows) override;
    void exfet(ODbIndex rows) override;
    bool eof() override;

protected:
    void forgetState() override;

private:
    ub2 fetchPiecewise(ODbIndex rows);

    ItemList<ODbDynamicVariable> longDefines_; // LONG and LONG RAW variables defined here
};

} // namespace Oracle
