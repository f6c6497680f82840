#pragma once
// Host identification from the host's product text, and the version word
// (major in bits 16-31, minor in bits 8-15, revision in bits 0-7).

enum EHost {
  kHostUninit = -1,
  kHostUnknown = 0,
  kHostReaper,
  kHostProTools,
  kHostCubase,
  kHostNuendo,
  kHostSonar,
  kHostVegas,
  kHostFL,
  kHostSamplitude,
  kHostAbletonLive,
  kHostReserved10,
  kHostReserved11,
  kHostMelodyne,
  kHostVSTScanner,
  kHostAULab,
  kHostForte,
  kHostChainer,
  kHostAudition,
  kHostOrion,
  kHostReserved19,
  kHostSAWStudio,
  kHostLogic,
  kHostGarageBand,
  kHostDigitalPerformer,
  kHostStandalone,
  kHostAudioMulch,
  kHostStudioOne,
  kHostVST3TestHost,
  kHostArdour
};

// Size of the buffers that GetHostNameStr and the version texts fill.
#define MAX_HOST_NAME_LEN 32
#define MAX_VERSION_STR_LEN 32

// Classifies a product text (case-insensitive substring keys, fixed order); 0 if none match.
EHost LookUpHost(const char* productText);
// Copies the display name of host ("Unknown" for unnamed values).
void GetHostNameStr(EHost host, char* pHostName);

void GetVersionParts(int version, int* pMajor, int* pMinor, int* pRevision);
// major * 10000 + minor * 100 + revision.
int GetDecimalVersion(int version);
// "v%d.%d.%d" of the three parts.
void GetVersionStr(int version, char* rStr);
