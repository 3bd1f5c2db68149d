// Logon, statements and messages through the release-7 call interface.
#include "Oci7TestSession.h"

#include <gtest/gtest.h>

namespace engine_test {

Oci7TestSession::~Oci7TestSession() {
    if (loggedOn_) {
        EXPECT_EQ(ologof(&lda_), 0) << message(lda_);
    }
}

sword Oci7TestSession::logon(const std::string& user, const std::string& password, const std::string& alias) {
    const sword result = olog(&lda_, hda_, oraText(user), -1, oraText(password), -1, oraText(alias), -1, OCI_LM_DEF);
    loggedOn_ = result == 0;
    return result;
}

cda_def& Oci7TestSession::openCursor() {
    cda_def& cursor = cursors_.emplace_back();
    EXPECT_EQ(oopen(&cursor, &lda_, nullptr, -1, -1, nullptr, -1), 0) << message(cursor);
    return cursor;
}

sword Oci7TestSession::parse(cda_def& cursor, const std::string& sql) {
    return oparse(&cursor, oraText(sql), -1, DEFER_PARSE, NATIVE);
}

void Oci7TestSession::run(const std::string& sql) {
    cda_def& cursor = openCursor();
    EXPECT_EQ(parse(cursor, sql), 0) << message(cursor);
    EXPECT_EQ(oexec(&cursor), 0) << sql << ": " << message(cursor);
    EXPECT_EQ(oclose(&cursor), 0);
}

std::string Oci7TestSession::value(const std::string& sql) {
    cda_def& cursor = openCursor();
    char buffer[256] = {};
    sb2 indicator = 0;
    EXPECT_EQ(parse(cursor, sql), 0) << message(cursor);
    EXPECT_EQ(odefin(&cursor, 1, reinterpret_cast<ub1*>(buffer), sizeof buffer, SQLT_STR, -1, &indicator, nullptr,
                     -1, -1, nullptr, nullptr),
              0);
    EXPECT_EQ(oexfet(&cursor, 1, 0, 0), 0) << sql << ": " << message(cursor);
    oclose(&cursor);
    return indicator == -1 ? "<null>" : buffer;
}

std::string Oci7TestSession::message(cda_def& area) {
    OraText buffer[2048];
    const sword length = oerhms(&area, static_cast<sb2>(area.rc), buffer, sizeof buffer);
    std::string text(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(length));
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

}  // namespace engine_test
