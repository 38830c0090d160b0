#pragma once

namespace vartemo {

// The settings race control reads, live at the moment they are needed (the
// operator may change them between rides).
class RaceSettings {
public:
    virtual ~RaceSettings() = default;

    virtual bool useLights() const = 0;              // "Zapnout semafor"
    virtual int lightPauseSeconds() const = 0;       // " Prodleva " between red, orange, green
    virtual bool lightsOffAfterRace() const = 0;     // "Zhasnout semafor "
    virtual int lightsOffMinutes() const = 0;        // its minutes
    virtual bool autoStart() const = 0;              // "Autostart prvním       průjezdem"
    virtual int autoStartDelaySeconds() const = 0;   // "Další start po"
    virtual bool externalStart() const = 0;          // "Používat externí         start tlačítko"
    virtual bool autoStop() const = 0;               // "Automaticky zastavit měření"
    virtual bool dropFirstLap() const = 0;           // "Nepočítat první kolo závodu"
    virtual bool dropShortLaps() const = 0;          // "Mazat kratší časy než"
    virtual int shortLapSeconds() const = 0;         // its seconds
    virtual bool autoSave() const = 0;               // "Automaticky uložit jízdy"
    virtual bool showTrackLists() const = 0;         // "Zobrazovat mezičasy na dráze"
    virtual bool autoPrint() const = 0;              // "Po skončení jízd automaticky tisknout výsledky"
    virtual bool serviceCheck() const = 0;           // "Zobrazit hlášení stavu motokár"
    virtual bool inhibitScreenSaver() const = 0;     // "Zakázat spořič"
    virtual bool endSound() const = 0;               // sound when the race time is over
    virtual int pricePerMinute() const = 0;          // " Cena za minutu "
    virtual bool tvOutput() const = 0;               // "Použít TV výstup"
    virtual bool useCom() const = 0;                 // "Použít COM"
    virtual bool useNetwork() const = 0;             // "Použít UDP/IP - sít"
    virtual bool useParallelPort() const = 0;        // "Použít LPT"
};

// Plain values, for tests and for running without a settings file. The
// defaults are those of a fresh configuration.
class FixedRaceSettings final : public RaceSettings {
public:
    bool lights = false;
    int lightPause = 1;
    bool lightsOff = false;
    int lightsOffMin = 1;
    bool autoStartOn = false;
    int autoStartDelay = 60;
    bool externalStartOn = false;
    bool autoStopOn = false;
    bool dropFirst = false;
    bool dropShort = false;
    int shortSeconds = 1;
    bool autoSaveOn = false;
    bool trackLists = true;
    bool autoPrintOn = false;
    bool serviceCheckOn = false;
    bool screenSaverOff = false;
    bool endSoundOn = false;
    int price = 0;
    bool tv = false;
    bool com = false;
    bool network = false;
    bool parallelPort = false;

    bool useLights() const override { return lights; }
    int lightPauseSeconds() const override { return lightPause; }
    bool lightsOffAfterRace() const override { return lightsOff; }
    int lightsOffMinutes() const override { return lightsOffMin; }
    bool autoStart() const override { return autoStartOn; }
    int autoStartDelaySeconds() const override { return autoStartDelay; }
    bool externalStart() const override { return externalStartOn; }
    bool autoStop() const override { return autoStopOn; }
    bool dropFirstLap() const override { return dropFirst; }
    bool dropShortLaps() const override { return dropShort; }
    int shortLapSeconds() const override { return shortSeconds; }
    bool autoSave() const override { return autoSaveOn; }
    bool showTrackLists() const override { return trackLists; }
    bool autoPrint() const override { return autoPrintOn; }
    bool serviceCheck() const override { return serviceCheckOn; }
    bool inhibitScreenSaver() const override { return screenSaverOff; }
    bool endSound() const override { return endSoundOn; }
    int pricePerMinute() const override { return price; }
    bool tvOutput() const override { return tv; }
    bool useCom() const override { return com; }
    bool useNetwork() const override { return network; }
    bool useParallelPort() const override { return parallelPort; }
};

} // namespace vartemo
