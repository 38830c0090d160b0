#pragma once

#include <QString>

namespace vartemo {

// Every setting of vartemo.ini that a control of the settings dialog (or a
// value shown beside it) holds. A setting is named after its holder control;
// the few values that are not one control have plain names (StartPort,
// SemaforPort, PrintLogo, ...). Numbered controls are consecutive, so
// NumberedSetting(SettingId::SpinChybaMereni1, 3) is SpinChybaMereni3.
enum class SettingId : int {
    // "Po spusteni"
    cbMezicasy, StartPort, LPTxx_BASE, LptBit, po_spusteni, rgZobrazeni, cbLPT, cbCOM, cbTcpIP,
    cbMinuty, cbBezUcasti, DelkaTrate, spCena, OnTopBox, priorita_aplikace, cbExtStart,
    PrvniKoloBox, cbAutoStart, SpinAutoStartCas, cbAutoStop, cbAutoSave, cbHlaseni, cbSporic,
    // "Semafor"
    cbSemafor, SemaforPort, Semafor_Base, ZelenaBit, OranzovaBit, CervenaBit, Prodleva,
    cbSemaforVyp, spSemaforVyp,
    // "Tisk"
    cbAutoTisk, PrintLogo, VelikostLOGA, CentrovatLOGO,
    Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8,
    // "Tisk_Diplom"
    DiplomaLogo, Diplom_Velikost_loga, DiplomaPicture, Diplom_Velikost_obrazek,
    Text9, Text10, Text11, Text12,
    // "TVOUT"
    TV_OUT_Box, PruhlednyForm_Box, Typ_zobrazeni_Group,
    // "HW"
    Hw_rizeniBox, Vsupy_negace_Check, SpinLOG0, SpinLOG1,
    SpinChybaMereni1, SpinChybaMereni2, SpinChybaMereni3, SpinChybaMereni4,
    SpinChybaMereni5, SpinChybaMereni6, SpinChybaMereni7, SpinChybaMereni8,
    SpinProdleva, Mazat, Spin_Mazat_Cas,
    // "Com"
    EdSekvence1, EdSekvence2, EdSekvence3, EdSekvence4,
    EdSekvence5, EdSekvence6, EdSekvence7, EdSekvence8,
    EdSekvence11, EdSekvence21, EdSekvence31, EdSekvence41,
    EdSekvence51, EdSekvence61, EdSekvence71, EdSekvence81,
    cbRTS, cbDTR,
    ID1, ID2, ID3, ID4, ID5, ID6, ID7, ID8, ID9, ID10,
    IP0, IP1, IP2, IP3, IP4, IP5, IP6, IP7, IP8, IP9, IP10,
    Popis0, Popis1, Popis2, Popis3, Popis4, Popis5, Popis6, Popis7, Popis8, Popis9, Popis10,
    // "Ftp"
    cbAutoPosliFTP, FtpHostitel, FtpJmeno, FtpHeslo, cbNoHesla,
    cbFtp1, cbFtp2, cbFtp3, cbFtp4, cbFtp5, cbFtp6,
    FtpSoubor1, FtpSoubor2, FtpSoubor3, FtpSoubor4, FtpSoubor5, FtpSoubor6,
    FtpAdr1, FtpAdr2, FtpAdr3, FtpAdr4, FtpAdr5, FtpAdr6,
    // "Proxy"
    cbProxyFtp, cbProxyHttp, ProxyAdresa, eProxyPort, ProxyJmeno, ProxyHeslo,
    // "Zvuk"
    cbHratZvuk, cbApplaus, SoundFile,
    // "Mixer"
    tbVolume, tbMP3WAV, cbMute, tbTreble, tbBass,
    // "WebVysledky": the live results page for the spectators' phones
    cbWebVysledky, SpinWebPort, EdWebAdresa,

    Count
};

inline constexpr int kSettingCount = static_cast<int>(SettingId::Count);

// The n-th of a numbered group (n counted from 1 for the first member).
SettingId NumberedSetting(SettingId first, int n);

enum class SettingType {
    Bool,        // check box: written "1"/"0"
    Integer,     // spin edit or track bar: limited to its range
    RadioGroup,  // item index; no selection (-1) until loaded
    PortChoice,  // 1 LPT1, 2 LPT2, 3 the port at the base text; other values keep the choice
    BitMask,     // eight check boxes, bit i = item i
    Text,
    StarredText, // printed text: stored behind a leading "*" so that leading blanks survive
    Password,    // stored scrambled, in Base64
};

struct SettingInfo {
    SettingId id;
    QString section;
    QString key;          // as written; read without regard to letter case
    SettingType type;
    int defaultNumber;    // Bool, Integer, RadioGroup, PortChoice, BitMask
    QString defaultText;  // Text, StarredText, Password
    int minimum;          // Integer range (both 0: no limit); RadioGroup: 0..maximum
    int maximum;
    int maxLength;        // Text: longest text the edit takes (0: no limit)
    QString holder;       // the holder control's name (objectName in the dialog)
};

// The description of one setting; the table covers every SettingId.
const SettingInfo& InfoOf(SettingId id);

} // namespace vartemo
