// A query cursor over the release-8 call interface: defines, batch fetches
// and LONG columns received piece by piece.
#pragma once

#include "ODbCursorImpl.h"
#include "SelectCursorOver.h"

namespace Oracle {

class ODbSelectCursorImpl : public SelectCursorOver<ODbCursorImpl> {
public:
    explicit ODbSelectCursorImpl(ODbConnect& connection);
    ~ODbSelectCursorImpl() override;

    void cancel() override;
    void define(int pos, ODbDynamicVariable& var) override;
    void fetch(ODbIndex rows) override;
    void exfet(ODbIndex rows) override;
    bool eof() override;

private:
    sword fetchRows(ODbIndex rows);
    sword fetchPiecewise(ODbIndex rows);
};

} // namespace Oracle
