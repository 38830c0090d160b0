#pragma once

namespace vartemo {

// The start lights and the parallel-port inputs as race control sees them.
// Implemented by the parallel-port subsystem; race control only calls.
class StartLights {
public:
    virtual ~StartLights() = default;
    // 0 = red off, 1 = red, 2 = orange, 3 = green; also repaints the lamps
    // Led_cervena, LED_oranzova, Led_zelena of the main window.
    virtual void SetLights(int state) = 0;
    // Reads the light bit masks (idle value, green, red, orange) afresh from
    // the settings (START, before the light sequence).
    virtual void reloadLightMasks() = 0;
    // Writes the idle value to the input port (first showing of the window).
    virtual void writeIdleValue() = 0;
};

class StartInputs {
public:
    virtual ~StartInputs() = default;
    // Reads the status register once; the two answers below refer to that read.
    virtual void readStatus() = 0;
    // Bit 7 ("BUSY"): the external start button is pressed.
    virtual bool externalStartPressed() const = 0;
    // One of the kart inputs of karts 1 to 4 is active (automatic start).
    virtual bool anyKartInputActive() const = 0;
};

// The code-sending receivers as race control switches them at START, STOP
// and while waiting for the automatic start.
class ReceiverControl {
public:
    virtual ~ReceiverControl() = default;
    // "Použít COM" on and the receiver detected at the port (last CTS state on).
    virtual bool serialReceiverDetected() const = 0;
    // The input signal is RXD (a byte receiver); otherwise CTS/DSR/DCD (infrared).
    virtual bool serialInputIsRxd() const = 0;
    virtual bool serialPortOpen() const = 0;
    virtual void openSerialPort() = 0;
    virtual void closeSerialPort() = 0;
    // Starts the first infrared decoder if it is not running, and the second
    // one if it is not running and its port differs from the first one's.
    virtual void startInfraredDecoders() = 0;
    // Rebuilds the UDP port bindings and activates the datagram server.
    virtual void activateNetwork(bool rebind) = 0;
    virtual void deactivateNetwork() = 0;
    // START and STOP: a receiver that failed to open may be tried again
    // (the start poll does not retry it on its own).
    virtual void allowRetry() {}
};

} // namespace vartemo
