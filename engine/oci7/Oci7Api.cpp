// The exported functions of the release-7 call interface.
//
// Each one runs through AreaCall, which finds the object behind its data
// area (a zeroed, foreign or closed area is ORA-01012 for a login area,
// ORA-01001 for a cursor area), reports the outcome in the area's fields and
// returns 0 or the error number. The work is done by the release-8 machinery
// underneath: LoginArea, CursorArea and ProcedureDescriber only translate.
#include "ociapr.h"
#include "ocidem.h"

#include "base/CallError.h"
#include "base/OraError.h"
#include "oci/TextArgument.h"
#include "oci7/AreaCall.h"
#include "oci7/CursorArea.h"
#include "oci7/LoginArea.h"
#include "oci7/ProcedureDescriber.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

using namespace engine;

namespace {

std::string requiredText(const OraText* text, long length, const char* argument) {
    if (text == nullptr) throw CallError(CallCode::InvalidArgument, argument);
    return textArgument(text, length, argument);
}

template <typename T>
T& required(T* pointer, const char* argument) {
    if (pointer == nullptr) throw CallError(CallCode::InvalidArgument, argument);
    return *pointer;
}

// olog's arguments. Without a password, the user may be written
// "user/password@database", as on a command line.
Credentials credentialsOf(const OraText* uid, sword uidl, const OraText* pswd, sword pswdl, const OraText* conn,
                          sword connl) {
    Credentials credentials{textArgument(uid, uidl, "uid"), textArgument(pswd, pswdl, "pswd"),
                            textArgument(conn, connl, "conn")};
    if (credentials.password.empty()) {
        const std::size_t slash = credentials.user.find('/');
        if (slash != std::string::npos) {
            credentials.password = credentials.user.substr(slash + 1);
            credentials.user.erase(slash);
        }
    }
    std::string& withDatabase = credentials.password.find('@') != std::string::npos ? credentials.password
                                                                                      : credentials.user;
    const std::size_t at = withDatabase.find('@');
    if (at != std::string::npos) {
        if (credentials.database.empty()) credentials.database = withDatabase.substr(at + 1);
        withDatabase.erase(at);
    }
    return credentials;
}

ClientBuffers buffersOf(void* value, long size, sword type, sb2* indicators, ub2* lengths, ub2* returnCodes) {
    if (size < 0) throw CallError(CallCode::InvalidArgument, "progvl");
    ClientBuffers buffers;
    buffers.value = value;
    buffers.valueSize = static_cast<sb4>(size);
    buffers.type = static_cast<ub2>(type);
    buffers.indicators = indicators;
    buffers.lengths = lengths;
    buffers.returnCodes = returnCodes;
    return buffers;
}

ElementSkips skipsOf(sb4 value, sb4 indicator, sb4 length, sb4 returnCode) {
    if (value < 0 || indicator < 0 || length < 0 || returnCode < 0) {
        throw CallError(CallCode::InvalidArgument, "skip");
    }
    return {value, indicator, length, returnCode};
}

// The message of error `number` when no area holds its text.
std::string genericMessage(int number) {
    if (number == 0) return "ORA-00000: normal, successful completion";
    if (auto text = OraError::textOf(number)) return *text;
    if (auto text = CallError::textOf(number)) return *text;
    char message[64];
    std::snprintf(message, sizeof message, "ORA-%05d: Message %d not found", number, number);
    return message;
}

// The ub1 array slot `row` of a result array, when the client gave one.
template <typename T>
void put(T* array, std::size_t row, T value) {
    if (array != nullptr) array[row] = value;
}

// odessp's names go into fixed slots of this many bytes.
constexpr std::size_t kNameSlot = 30;

void putName(OraText** names, ub2* lengths, std::size_t row, const std::string& name) {
    const std::size_t length = std::min(name.size(), kNameSlot);
    if (names != nullptr) {
        OraText* slot = reinterpret_cast<OraText*>(names) + row * kNameSlot;
        std::memcpy(slot, name.data(), length);
        if (length < kNameSlot) slot[length] = '\0';
    }
    put(lengths, row, static_cast<ub2>(length));
}

}  // namespace

extern "C" {

sword opinit(ub4 mode) { return mode == OCI_EV_DEF || mode == OCI_EV_TSF ? 0 : AreaCall::kNoArea; }

sword olog(cda_def* lda, ub1*, OraText* uid, sword uidl, OraText* pswd, sword pswdl, OraText* conn, sword connl,
           ub4 mode) {
    return AreaCall::run(lda, 0, [&](std::shared_ptr<DataArea>& object) {
        // Calls complete before they return, which a non-blocking client
        // sees as work done at once.
        if (mode != OCI_LM_DEF && mode != OCI_LM_NBL) throw CallError(CallCode::InvalidArgument, "mode");
        const Credentials credentials = credentialsOf(uid, uidl, pswd, pswdl, conn, connl);
        // A second logon on a logged-on area ends the first session first.
        if (std::shared_ptr<LoginArea> previous = AreaRegistry::instance().find<LoginArea>(lda)) {
            AreaRegistry::instance().remove(*previous);
            lda->rcsp = nullptr;
            previous->logoff();
        }
        lda->rcsp = nullptr;
        auto login = std::make_shared<LoginArea>(*lda);
        login->logon(credentials);
        AreaRegistry::instance().add(login);
        object = login;
    });
}

sword ologof(cda_def* lda) {
    return AreaCall::on<LoginArea>(lda, 0, [&](LoginArea& login) {
        AreaRegistry::instance().remove(login);
        lda->rcsp = nullptr;
        login.logoff();
    });
}

sword ocom(cda_def* lda) {
    return AreaCall::on<LoginArea>(lda, 0, [](LoginArea& login) { login.commit(); });
}

sword orol(cda_def* lda) {
    return AreaCall::on<LoginArea>(lda, 0, [](LoginArea& login) { login.rollback(); });
}

sword oopen(cda_def* cursor, cda_def* lda, OraText*, sword, sword, OraText*, sword) {
    return AreaCall::run(cursor, FC_OOPEN, [&](std::shared_ptr<DataArea>& object) {
        std::shared_ptr<LoginArea> login = AreaRegistry::instance().find<LoginArea>(lda);
        if (!login) throw LoginArea::notOpen();
        // An area that still leads to a session is no cursor area to reuse.
        if (cursor == lda || AreaRegistry::instance().find<LoginArea>(cursor)) {
            throw CallError(CallCode::InvalidArgument, "cursor");
        }
        if (std::shared_ptr<CursorArea> previous = AreaRegistry::instance().find<CursorArea>(cursor)) {
            AreaRegistry::instance().remove(*previous);
        }
        cursor->rcsp = nullptr;
        auto opened = std::make_shared<CursorArea>(*cursor, login);
        AreaRegistry::instance().add(opened);
        object = opened;
    });
}

sword oparse(cda_def* cursor, OraText* sqlstm, sb4 sqllen, sword defflg, ub4) {
    return AreaCall::on<CursorArea>(cursor, FC_OPARSE, [&](CursorArea& area) {
        area.parse(requiredText(sqlstm, sqllen, "sqlstm"), defflg != 0);
    });
}

sword oexn(cda_def* cursor, sword iters, sword rowoff) {
    return AreaCall::on<CursorArea>(cursor, FC_OEXEC, [&](CursorArea& area) {
        if (iters < 0) throw CallError(CallCode::InvalidArgument, "iters");
        if (rowoff < 0 || rowoff > iters) throw CallError(CallCode::InvalidArgument, "rowoff");
        area.execute(static_cast<ub4>(iters - rowoff), static_cast<ub4>(rowoff));
    });
}

sword oexec(cda_def* cursor) {
    return AreaCall::on<CursorArea>(cursor, FC_OEXEC, [](CursorArea& area) { area.execute(1, 0); });
}

sword oexfet(cda_def* cursor, ub4 nrows, sword cancel, sword exact) {
    return AreaCall::on<CursorArea>(cursor, FC_OEXFET, [&](CursorArea& area) {
        // Checking that exactly nrows rows exist would need a row beyond the
        // client's arrays; refused rather than pretended.
        if (exact != 0) throw CallError(CallCode::InvalidArgument, "exact");
        area.executeAndFetch(nrows, cancel != 0);
    });
}

sword ofen(cda_def* cursor, sword nrows) {
    return AreaCall::on<CursorArea>(cursor, FC_OFETCH, [&](CursorArea& area) {
        if (nrows < 1) throw CallError(CallCode::InvalidArgument, "nrows");
        area.fetch(static_cast<ub4>(nrows));
    });
}

sword ocan(cda_def* cursor) {
    return AreaCall::on<CursorArea>(cursor, FC_OCAN, [](CursorArea& area) { area.cancel(); });
}

sword oclose(cda_def* cursor) {
    return AreaCall::on<CursorArea>(cursor, FC_OCLOSE, [&](CursorArea& area) {
        AreaRegistry::instance().remove(area);
        cursor->rcsp = nullptr;
    });
}

sword obndrn(cda_def* cursor, sword sqlvn, ub1* progv, sword progvl, sword ftype, sword, sb2* indp, OraText*, sword,
             sword) {
    return AreaCall::on<CursorArea>(cursor, FC_OBNDRN, [&](CursorArea& area) {
        if (sqlvn < 1) throw OraError(OraCode::IllegalVariable);
        area.bindNumber(static_cast<ub4>(sqlvn), buffersOf(progv, progvl, ftype, indp, nullptr, nullptr));
    });
}

sword obndrv(cda_def* cursor, OraText* sqlvar, sword sqlvl, ub1* progv, sword progvl, sword ftype, sword, sb2* indp,
             OraText*, sword, sword) {
    return AreaCall::on<CursorArea>(cursor, FC_OBNDRV, [&](CursorArea& area) {
        BindSpec spec;
        static_cast<ClientBuffers&>(spec) = buffersOf(progv, progvl, ftype, indp, nullptr, nullptr);
        area.bindName(requiredText(sqlvar, sqlvl, "sqlvar"), spec);
    });
}

sword obindps(cda_def* cursor, ub1 opcode, OraText* sqlvar, sb4 sqlvl, ub1* pvctx, sb4 progvl, sword ftype, sword,
              sb2* indp, ub2* alen, ub2* arcode, sb4 pv_skip, sb4 ind_skip, sb4 alen_skip, sb4 rc_skip, ub4 maxsiz,
              ub4* cursiz, OraText*, sb4, sword) {
    return AreaCall::on<CursorArea>(cursor, FC_OBINDPS, [&](CursorArea& area) {
        const std::string name = requiredText(sqlvar, sqlvl, "sqlvar");
        const ClientBuffers buffers = buffersOf(pvctx, progvl, ftype, indp, alen, arcode);
        if (opcode == OCI7_PIECEWISE) return area.bindPieces(name, pvctx, buffers);
        if (opcode != OCI7_ARRAY) throw CallError(CallCode::InvalidArgument, "opcode");
        BindSpec spec;
        static_cast<ClientBuffers&>(spec) = buffers;
        if (cursiz != nullptr) {
            spec.maxElements = maxsiz;
            spec.currentElements = cursiz;
        }
        area.bindArray(name, spec, skipsOf(pv_skip, ind_skip, alen_skip, rc_skip));
    });
}

sword odefin(cda_def* cursor, sword pos, ub1* buf, sword bufl, sword ftype, sword, sb2* indp, OraText*, sword, sword,
             ub2* rlen, ub2* rcode) {
    return AreaCall::on<CursorArea>(cursor, 0, [&](CursorArea& area) {
        if (pos < 1) throw CallError(CallCode::InvalidArgument, "pos");
        area.define(static_cast<ub4>(pos), buffersOf(buf, bufl, ftype, indp, rlen, rcode));
    });
}

sword odefinps(cda_def* cursor, ub1 opcode, sword pos, ub1* bufctx, sb4 bufl, sword ftype, sword, sb2* indp,
               OraText*, sb4, sword, ub2* rlen, ub2* rcode, sb4 pv_skip, sb4 ind_skip, sb4 alen_skip, sb4 rc_skip) {
    return AreaCall::on<CursorArea>(cursor, FC_ODEFINPS, [&](CursorArea& area) {
        if (pos < 1) throw CallError(CallCode::InvalidArgument, "pos");
        const ClientBuffers buffers = buffersOf(bufctx, bufl, ftype, indp, rlen, rcode);
        if (opcode == OCI7_PIECEWISE) return area.definePieces(static_cast<ub4>(pos), bufctx, buffers);
        if (opcode != OCI7_ARRAY) throw CallError(CallCode::InvalidArgument, "opcode");
        // Rows of a fetch land in packed arrays only.
        const ElementSkips skips = skipsOf(pv_skip, ind_skip, alen_skip, rc_skip);
        const auto packed = [](sb4 skip, sb4 size) { return skip == 0 || skip == size; };
        if (!packed(skips.value, bufl) || !packed(skips.indicator, sizeof(sb2)) ||
            !packed(skips.length, sizeof(ub2)) || !packed(skips.returnCode, sizeof(ub2))) {
            throw CallError(CallCode::InvalidArgument, "pv_skip");
        }
        area.define(static_cast<ub4>(pos), buffers);
    });
}

sword ogetpi(cda_def* cursor, ub1* piecep, dvoid** ctxpp, ub4* iterp, ub4* indexp) {
    return AreaCall::on<CursorArea>(cursor, FC_OGETPI, [&](CursorArea& area) {
        const PieceInfo info = area.pendingPiece();
        required(piecep, "piecep") = info.piece;
        required(ctxpp, "ctxpp") = info.context;
        required(iterp, "iterp") = info.iteration;
        required(indexp, "indexp") = info.index;
    });
}

sword osetpi(cda_def* cursor, ub1 piece, dvoid* bufp, ub4* lenp) {
    return AreaCall::on<CursorArea>(cursor, FC_OSETPI, [&](CursorArea& area) {
        area.setPiece(piece, bufp, &required(lenp, "lenp"));
    });
}

sword odescr(cda_def* cursor, sword pos, sb4* dbsize, sb2* dbtype, sb1* cbuf, sb4* cbufl, sb4* dsize, sb2* prec,
             sb2* scale, sb2* nullok) {
    return AreaCall::on<CursorArea>(cursor, FC_ODESCR, [&](CursorArea& area) {
        if (pos < 1) throw CallError(CallCode::NotInSelectList);
        const SelectItem item = area.describeItem(static_cast<ub4>(pos));
        put(dbsize, 0, item.size);
        put(dbtype, 0, item.type);
        put(dsize, 0, item.displaySize);
        put(prec, 0, item.precision);
        put(scale, 0, item.scale);
        put(nullok, 0, item.nullable);
        if (cbuf != nullptr && cbufl != nullptr) {
            const std::size_t capacity = *cbufl > 0 ? static_cast<std::size_t>(*cbufl) : 0;
            const std::size_t length = std::min(item.name.size(), capacity);
            std::memcpy(cbuf, item.name.data(), length);
            if (length < capacity) cbuf[length] = '\0';
            *cbufl = static_cast<sb4>(length);
        }
    });
}

sword odessp(cda_def* cursor, OraText* objnam, size_t onlen, ub1*, size_t, ub1*, size_t, ub2* ovrld, ub2* pos,
             ub2* level, OraText** argnam, ub2* arnlen, ub2* dtype, ub1* defsup, ub1* mode, ub4* dtsiz, sb2* prec,
             sb2* scale, ub1* radix, ub4* spare, ub4* arrsiz) {
    // No row counts as filled unless the describe succeeds, whatever fails.
    const ub4 capacity = arrsiz != nullptr ? *arrsiz : 0;
    if (arrsiz != nullptr) *arrsiz = 0;
    return AreaCall::on<DataArea>(cursor, 0, [&](DataArea& area) {
        ub4& count = required(arrsiz, "arrsiz");
        // A length of -1 arrives as the largest size_t: NUL-terminated text.
        const long length =
            onlen > static_cast<size_t>(std::numeric_limits<long>::max()) ? -1 : static_cast<long>(onlen);
        const std::string name = requiredText(objnam, length, "objnam");
        const std::vector<ArgumentRow> rows = ProcedureDescriber(area.login()).describe(name);
        if (rows.size() > capacity) throw OraError(OraCode::HostArrayTooSmall);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const ArgumentRow& row = rows[i];
            put(ovrld, i, row.overload);
            put(pos, i, row.position);
            put(level, i, row.level);
            putName(argnam, arnlen, i, row.name);
            put(dtype, i, row.type);
            put(defsup, i, row.hasDefault);
            put(mode, i, row.mode);
            put(dtsiz, i, row.size);
            put(prec, i, row.precision);
            put(scale, i, row.scale);
            put(radix, i, row.radix);
            put(spare, i, ub4{0});
        }
        count = static_cast<ub4>(rows.size());
    });
}

sword oerhms(cda_def* lda, sb2 rcode, OraText* buf, sword bufsiz) {
    if (buf == nullptr || bufsiz <= 0) return 0;
    try {
        const int number = rcode < 0 ? -rcode : rcode;
        std::shared_ptr<DataArea> area = AreaRegistry::instance().find<DataArea>(lda);
        std::optional<std::string> kept = area ? area->lastFailureText(number) : std::nullopt;
        // Each message ends with a newline, as the release-8 error texts do.
        const std::string text = kept.value_or(genericMessage(number)) + "\n";
        const std::size_t length = std::min(text.size(), static_cast<std::size_t>(bufsiz - 1));
        std::memcpy(buf, text.data(), length);
        buf[length] = '\0';
        return static_cast<sword>(length);
    } catch (...) {
        buf[0] = '\0';
        return 0;
    }
}

}  // extern "C"
