#pragma once

#include "publishing/ftpendpoint.h"

#include <QString>

#include <array>
#include <optional>

namespace vartemo {

class Settings;

// One file of a sending run: where it comes from, the folder on the server
// (relative to the login folder unless it starts with "/") and its name there.
struct FtpUpload {
    QString localFile;
    QString folder;
    QString remoteName;
    // Set: the upload fails with this text before anything is sent.
    QString problem;
};

// The order of a run: slots 1 to 4, slot 5's men's and women's pictures, slot 6.
constexpr int kFtpUploadCount = 7;
constexpr int kFtpSlotCount = 6;
using FtpUploads = std::array<std::optional<FtpUpload>, kFtpUploadCount>;

// Which slot of "Ftp klient " an upload belongs to (1..6).
int FtpSlotOf(int upload);

// The checked slots among 1..6.
int CheckedFtpSlots(const Settings& settings);

// Slot 5's pictures: FtpSoubor4 + "_muzi.jpg" and + "_zeny.jpg".
QString TablePicturePath(const Settings& settings, bool women);

// The run's uploads from the page's settings; an unchecked slot stays empty.
// picturesMade: slot 5's two pictures were written for this run (men, women);
// a picture that was not is not sent, whatever lies under its name.
FtpUploads FtpUploadsFromSettings(const Settings& settings, std::array<bool, 2> picturesMade);

FtpEndpoint FtpEndpointFromSettings(const Settings& settings);

// The state texts of StateLabel.
enum class FtpState;
QString FtpStateText(FtpState state);

} // namespace vartemo
