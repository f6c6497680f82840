#include "plug/host.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "plug/text_util_p.h"

namespace {

struct HostKey {
  const char* key;
  EHost host;
};

// Searched in this order; the first key found decides.
const HostKey kHostKeys[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyne},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostStudioOne},
    {"vst3plugintesthost", kHostVST3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"standalone", kHostStandalone},
};

const char* const kHostNames[] = {
    "Unknown",    "Reaper",     "ProTools",   "Cubase",
    "Nuendo",     "Sonar",      "Vegas",      "FLStudio",
    "Samplitude", "Live",       "Unknown",    "Unknown",
    "Unknown",    "VSTScanner", "AULab",      "Forte",
    "Chainer",    "Audition",   "Orion",      "Unknown",
    "SAWStudio",  "Logic",      "GarageBand", "DigitalPerformer",
    "Standalone", "AudioMulch", "StudioOne",  "VST3PluginTestHost",
    "Ardour",
};

const int kLookUpBufferLen = 256;

}  // namespace

EHost LookUpHost(const char* productText) {
  char lower[kLookUpBufferLen];
  CopyText(lower, productText, kLookUpBufferLen);
  for (char* p = lower; *p; ++p) *p = (char)tolower((unsigned char)*p);
  for (const HostKey& k : kHostKeys)
    if (strstr(lower, k.key)) return k.host;
  return kHostUnknown;
}

void GetHostNameStr(EHost host, char* pHostName) {
  const int n = (int)(sizeof(kHostNames) / sizeof(kHostNames[0]));
  const char* name = host >= 0 && host < n ? kHostNames[host] : "Unknown";
  CopyText(pHostName, name, MAX_HOST_NAME_LEN);
}

void GetVersionParts(int version, int* pMajor, int* pMinor, int* pRevision) {
  unsigned int v = (unsigned int)version;
  *pMajor = (int)(v >> 16);
  *pMinor = (int)((v >> 8) & 0xFF);
  *pRevision = (int)(v & 0xFF);
}

int GetDecimalVersion(int version) {
  int major, minor, revision;
  GetVersionParts(version, &major, &minor, &revision);
  return major * 10000 + minor * 100 + revision;
}

void GetVersionStr(int version, char* rStr) {
  int major, minor, revision;
  GetVersionParts(version, &major, &minor, &revision);
  snprintf(rStr, MAX_VERSION_STR_LEN, "v%d.%d.%d", major, minor, revision);
}
