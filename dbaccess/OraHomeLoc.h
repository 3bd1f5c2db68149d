// Where the external tools take the Oracle home from.
#pragma once

namespace Oracle {

enum OraHomeLoc {
    LocRegistry = 0,    // the system registry (there is none here: always empty)
    LocEnvironment = 1, // the Oracle-home-variable setting, %NAME% references expanded
    LocSetting = 2      // the Oracle-home-path setting
};

} // namespace Oracle
