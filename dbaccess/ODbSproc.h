// One stored procedure call on a connection: the procedure is described, one
// bind variable per argument is typed from the description, and the block
// that calls it runs with those variables bound by name.
#pragma once

#include <memory>
#include <vector>

#include "ODbArrayData.h"
#include "ODbBind.h"
#include "ODbConnectBase.h"
#include "ODbMap.h"
#include "RefCountPtr.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbConnect;
class ODbCursor;
class ODbSprocDescrObj;

// The procedure object owns its argument variables; the accessor it hands out
// is one object, re-pointed by every call. Scalar arguments have one element;
// a PL/SQL table argument is sized by the caller (resizeArray) before exec: an
// IN table is passed with its current size, an OUT or IN OUT table takes the
// size of what the procedure returns. It must not outlive its connection, nor
// a borrowed description.
class VORDB_API ODbSproc : public ODbMap, public ODbConnectBase {
public:
    // Closed, without a description.
    explicit ODbSproc(ODbConnect& connection);
    // Open on procedure `name` of `package` (null or empty for none).
    ODbSproc(ODbConnect& connection, const char* name, const char* package);
    // Open on a description the caller keeps alive.
    ODbSproc(ODbConnect& connection, const ODbSprocDescrObj& description);
    ODbSproc(const ODbSproc&) = delete;
    ODbSproc& operator=(const ODbSproc&) = delete;
    ~ODbSproc() override;

    // Describes procedure `name` of `package` and opens on that description.
    void open(const char* name, const char* package);
    // Opens on a description the caller keeps alive while this object uses it.
    void open(const ODbSprocDescrObj& description);
    // Opens again on the description kept from before (a borrowed one survives close).
    void open();
    // Runs the procedure `iters` times; the first exec after open or reset
    // binds the arguments. After the object moved to another connection the
    // call is prepared there first, and the arguments are typed afresh.
    void exec(ODbSignedIndex iters = 1);
    // The next exec binds again, on a freshly prepared call.
    void reset();
    void close();

    // The argument at 1-based `position`.
    ODbArrayData& paramByPos(int position);
    // The argument named `name`, without regard to case.
    ODbArrayData& paramByName(const char* name);
    ODbArrayData& getParam(int position);
    int getParamCount();
    const ODbSprocDescrObj& getDescrObj();
    bool isOpen() const;

private:
    // Where each argument's elements lay when bound: a bind points at them, so
    // a table resized since then must be bound again.
    struct BoundArgument {
        const void* data;
        ODbIndex arraySize;
        ODbIndex iters;
    };

    void prepare();
    void typeArgument(ODbBindVariable& var, const ODbColumnDesc& argument);
    void bindVar(ODbIndex iters);
    bool bindingMoved(ODbIndex iters) const;
    void followConnection();
    void release();
    void requireOpen() const;
    ODbBindVariable& variableAt(int position);

    bool open_;
    bool bound_;                                        // arguments bound to the current cursor
    ODbBind<ODbArrayData> binder_;                      // argument variables (owned)
    std::vector<BoundArgument> boundAt_;                // by argument, as bound
    Utils::RefCountPtr<ODbCursor> cursor_;
    std::unique_ptr<ODbSprocDescrObj> ownDescription_;  // the description when this object made it
    const ODbSprocDescrObj* description_;               // the description in use; null when none
};

} // namespace Oracle
