// The FTP module: the station loads it at the first sending, so that a
// start does not load the transfer library and the many it brings.
#include "publishing/curlftpsession.h"

#include <QtGlobal>

#include <type_traits>

extern "C" Q_DECL_EXPORT vartemo::FtpSession* vartemo_make_ftp_session(vartemo::FtpTimeouts timeouts,
                                                                        vartemo::FtpSessionHooks hooks) {
    return vartemo::MakeCurlFtpSession(timeouts, std::move(hooks)).release();
}

static_assert(std::is_same_v<decltype(&vartemo_make_ftp_session), vartemo::MakeFtpSession>);
