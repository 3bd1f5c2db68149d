// The whole public interface of the database access library: a client includes
// this header and links with the library.
#pragma once

#include "ODbTypes.h"
#include "ODbColumnDesc.h"
#include "ODbException.h"
#include "ODbOraGlobal.h"
#include "ODbClassfactory.h"
#include "ODbMap.h"
#include "ODbDynamicVariable.h"
#include "ODbBindVariable.h"
#include "ODbDataInterface.h"
#include "PieceChunk.h"
#include "ODbLob.h"
#include "ODbLong.h"
#include "ODbLongArr.h"
#include "ODbLongRaw.h"
#include "ODbLongRawArr.h"
#include "ODbDate.h"
#include "ODbData.h"
#include "ODbArrayData.h"
#include "ODbParam.h"
