// Visibility of the engine's internal classes.
//
// The engine is a shared library built with hidden visibility, so that only the
// call interface is exported. The dialect translator and the catalog are unit
// tested directly; ENGINE_INTERNAL_API gives just those entry points default
// visibility so that the engine's test program can link them.
#pragma once

#define ENGINE_INTERNAL_API __attribute__((visibility("default")))
