#include "ODbOraGlobal.h"

#include <cstring>

namespace Oracle {

namespace {

constexpr const char* DefaultNullString = "";
constexpr int DefaultFetchSize = 20; // rows per round trip: small batches keep row buffers small
constexpr const char* DefaultTrueString = "T";
constexpr const char* DefaultFalseString = "F";
constexpr const char* DefaultOraHomeVar = "ORA_HOME";
// The tools and the release of the call interface the build runs with.
#ifdef VORDB73
constexpr const char* DefaultImportExec = "imp73.exe";
constexpr const char* DefaultExportExec = "exp73.exe";
constexpr int DefaultOCIVer = 7;
#else
constexpr const char* DefaultImportExec = "imp.exe";
constexpr const char* DefaultExportExec = "exp.exe";
constexpr int DefaultOCIVer = 8;
#endif

// Constructed before any other static object of the library (priority 101 is the
// first one open to programs), so that every static user finds the defaults.
ODbOraGlobal theSettings __attribute__((init_priority(101)));

} // namespace

ODbOraGlobal* const ODbOraGlobal::Ptr = &theSettings;

ODbOraGlobal::ODbOraGlobal()
{
    init();
}

ODbOraGlobal::ODbOraGlobal(const ODbOraGlobal& other) : Utils::RefCounted(other)
{
    copyFrom(other);
}

ODbOraGlobal& ODbOraGlobal::operator=(const ODbOraGlobal& other)
{
    if (this != &other)
        copyFrom(other);
    return *this;
}

ODbOraGlobal::~ODbOraGlobal()
{
    deinit();
}

void ODbOraGlobal::init()
{
    assignStr(nullString_, DefaultNullString);
    fetchSize_ = DefaultFetchSize;
    assignStr(importExec_, DefaultImportExec);
    assignStr(exportExec_, DefaultExportExec);
    assignStr(trueString_, DefaultTrueString);
    assignStr(falseString_, DefaultFalseString);
    assignStr(oraHomeVar_, DefaultOraHomeVar);
    assignStr(oraHomePath_, nullptr);
    ociVer_ = DefaultOCIVer;
}

void ODbOraGlobal::deinit()
{
    for (Text* text : {&nullString_, &importExec_, &exportExec_, &trueString_, &falseString_,
                       &oraHomeVar_, &oraHomePath_})
        text->reset();
}

void ODbOraGlobal::copyFrom(const ODbOraGlobal& other)
{
    assignStr(nullString_, other.nullString_.get());
    fetchSize_ = other.fetchSize_;
    assignStr(importExec_, other.importExec_.get());
    assignStr(exportExec_, other.exportExec_.get());
    assignStr(trueString_, other.trueString_.get());
    assignStr(falseString_, other.falseString_.get());
    assignStr(oraHomeVar_, other.oraHomeVar_.get());
    assignStr(oraHomePath_, other.oraHomePath_.get());
    ociVer_ = other.ociVer_;
}

void ODbOraGlobal::assignStr(Text& target, const char* text)
{
    if (text == nullptr) {
        target.reset();
        return;
    }
    const std::size_t length = std::strlen(text);
    Text copy(new char[length + 1]);
    std::memcpy(copy.get(), text, length + 1);
    target = std::move(copy); // the argument may be the old text: copy before freeing
}

char* ODbOraGlobal::getNullString() const { return nullString_.get(); }
int ODbOraGlobal::getFetchSize() const { return fetchSize_; }
char* ODbOraGlobal::getImportExec() const { return importExec_.get(); }
char* ODbOraGlobal::getExportExec() const { return exportExec_.get(); }
char* ODbOraGlobal::getTrueString() const { return trueString_.get(); }
char* ODbOraGlobal::getFalseString() const { return falseString_.get(); }
char* ODbOraGlobal::getOraHomeVar() const { return oraHomeVar_.get(); }
char* ODbOraGlobal::getOraHomePath() const { return oraHomePath_.get(); }
int ODbOraGlobal::getOCIVer() const { return ociVer_; }

void ODbOraGlobal::setNullString(const char* text) { assignStr(nullString_, text); }
void ODbOraGlobal::setFetchSize(int rows) { fetchSize_ = rows; }
void ODbOraGlobal::setImportExec(const char* text) { assignStr(importExec_, text); }
void ODbOraGlobal::setExportExec(const char* text) { assignStr(exportExec_, text); }
void ODbOraGlobal::setTrueString(const char* text) { assignStr(trueString_, text); }
void ODbOraGlobal::setFalseString(const char* text) { assignStr(falseString_, text); }
void ODbOraGlobal::setOraHomeVar(const char* text) { assignStr(oraHomeVar_, text); }
void ODbOraGlobal::setOraHomePath(const char* text) { assignStr(oraHomePath_, text); }
void ODbOraGlobal::setOCIVer(int version) { ociVer_ = version; }

} // namespace Oracle
