// The bind variables of an SQL statement, found by placeholder position or name.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "FNameBindObj.h"
#include "FPosBindObj.h"
#include "ODbBind.h"

namespace Oracle {

template <class T> class ODbSqlBind : public ODbBind<T> {
public:
    // The accessor pointed at the variable bound at position `pos`; an empty-
    // message ODbException when none is.
    virtual T& getPosBindObj(int pos) { return this->point(FPosBindObj<>(this->list_)(pos)); }
    // One variable per placeholder, in order: a numeric name (":1") binds by
    // position, any other by name.
    virtual void createFromPlaceholders(const std::vector<std::string>& names)
    {
        this->create(0);
        for (const std::string& name : names) {
            ODbBindVariable& var = this->add();
            const int pos = std::atoi(name.c_str());
            if (pos != 0)
                var.setBindPos(pos);
            else
                var.setBindName(name.c_str());
        }
    }
    // The accessor pointed at the first variable bound to `name` (any case);
    // an empty-message ODbException when none is.
    virtual T& getNameBindObj(const char* name) { return this->point(FNameBindObj<>(this->list_)(name)); }
};

} // namespace Oracle
