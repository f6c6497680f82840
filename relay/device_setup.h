// The relay's devices as the command line asks for them.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "relay/device.h"
#include "relay/jack_host.h"
#include "relay/options.h"
#include "relay/pipewire_host.h"

namespace relay {

struct DeviceSetup {
  std::vector<Device> devices;
  std::vector<std::string> listing;        // a console line per device
  std::unique_ptr<JackHost> jack;          // keeps the JACK devices fed; null without any
  std::unique_ptr<PipeWireHost> pipewire;  // the same for the PipeWire devices
  std::vector<std::string> notes;          // lines for the console, about devices not made
};

// Makes every device in the order given; --jack-capture asks the JACK server
// which capture ports it has. False with a message for a file that cannot be
// read. The JACK and PipeWire hosts, when there are any, are not started yet.
bool MakeDevices(const Options& options, FILE* log, DeviceSetup* out, std::string* error);

// Prints the JACK output ports a device can connect to and the devices
// --jack-capture would make; false with a message when no server answers.
bool PrintJackPorts(FILE* out, std::string* error);

// Prints the PipeWire nodes a device can capture, each with the option that
// captures it; false with a message when no server answers.
bool PrintPipeWireNodes(FILE* out, std::string* error);

// A device's console line: "device 2186295 (0x215c37): NAME", the decimal ID
// being what the plug-in's Device ID takes.
std::string DeviceLine(const Device& device, const char* kind, const std::string& detail);

}  // namespace relay
