// A query cursor over the release-8 call interface: defines, batch fetches
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
    void open(const char* stmText, unsigned int fetchSize) override;
    // Opens for batches of one row.
    void open(const char* stmText) override;
    void close() override;
    void bind(const char* name, ODbDynamicVariable& var, unsigned int iters) override;
    void bind(int pos, ODbDynamicVariable& var, unsigned int iters) override;
    void define(int pos, ODbDynamicVariable& var) override;
    unsigned int getRowProc() const override;
    bool isOpen() const override;
    ODbConnect& getConnection() const override;
    void registerSelectItemList(const ItemList<ODbDynamicVariable>& list) override;
    void registerBindItemList(const ItemList<ODbBindVariable>& list) override;
    void exec(unsigned int iters) override;
    void fetch(unsigned int rows) override;
    void exfet(unsigned int rows) override;
    bool eof() override;

protected:
    void forgetState() override;

private:
    sword fetchRows(unsigned int rows);
    sword fetchPiecewise(unsigned int rows);

    ItemList<ODbDynamicVariable> longDefines_; // LONG and LONG RAW variables defined here
};

} // namespace Oracle
