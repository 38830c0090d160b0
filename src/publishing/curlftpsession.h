#pragma once

#include "publishing/ftpsession.h"

#include <memory>

namespace vartemo {

// An FTP session on libcurl: one handle, and so one control connection, for
// the whole session. What the FTP module makes; the fuzz targets link it
// directly.
std::unique_ptr<FtpSession> MakeCurlFtpSession(FtpTimeouts timeouts, FtpSessionHooks hooks);

} // namespace vartemo
