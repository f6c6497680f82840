#pragma once
// A plug-in made in process, for the binding's host-side operations and the
// program and bank files: nine parameters, a chosen channel layout, chunks or
// not, MIDI or not.

#include "vst2/plug_vst.h"

class ProbePlug : public PlugVST {
 public:
  ProbePlug(audioMasterCallback host, bool chunks = false, const char* channelIO = "2-2",
            bool midi = false, int nPresets = 2)
      : PlugVST({host}, 9, channelIO, nPresets, "Probe", "Probe Product", "Probe Maker", 0x00010000,
                0x50726F62, 0x50724D6B, 0, midi, chunks, false) {
    for (int i = 0; i < NParams(); ++i) GetParam(i)->InitDouble("P", 0.0, 0.0, 10.0, 0.01);
    EnsureDefaultPreset();
  }

  void OnHostIdentified() override { ++hostIdentified; }

  int hostIdentified = 0;
};
