// The next and current values of a database sequence.
#include "ODbSequence.h"

#include "ODbClassfactory.h"
#include "ODbData.h"
#include "ODbException.h"
#include "ODbSelectCursor.h"
#include "ODbStatementMessages.h"

namespace Oracle {

namespace {

// Bytes of the integer a sequence value is read into.
constexpr int SequenceValueSize = 4;

std::string sequenceQuery(const char* name, const char* pseudoColumn)
{
    if (name == nullptr || *name == '\0')
        throw ODbException(Messages::ParameterNull, 0, nullptr);
    return std::string("select \"") + name + "\"." + pseudoColumn + " from dual";
}

Utils::RefCountPtr<ODbSelectCursor> openCursor(ODbConnect& connection, const std::string& text,
                                               ODbDynamicVariable& value)
{
    Utils::RefCountPtr<ODbSelectCursor> cursor = ODbClassfactory::createODbSelectCursor(connection);
    cursor->open(text.c_str(), 1);
    cursor->define(1, value);
    return cursor;
}

} // namespace

ODbSequence::ODbSequence(ODbConnect& connection, const char* name)
    : nextText_(sequenceQuery(name, "nextval")),
      currText_(sequenceQuery(name, "currval")),
      nextValue_(extInt, SequenceValueSize, 1),
      currValue_(extInt, SequenceValueSize, 1),
      nextCursor_(openCursor(connection, nextText_, nextValue_)),
      currCursor_(openCursor(connection, currText_, currValue_))
{
}

ODbSequence::~ODbSequence() = default;

long ODbSequence::getNextval()
{
    return read(*nextCursor_, nextValue_);
}

long ODbSequence::getCurrval()
{
    return read(*currCursor_, currValue_);
}

long ODbSequence::read(ODbSelectCursor& cursor, ODbDynamicVariable& value)
{
    cursor.first();
    return ODbData(value).getLongInt();
}

} // namespace Oracle
