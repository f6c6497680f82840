#pragma once
// The framework's plain records in one include: parameters, chunks, presets,
// MIDI messages and time information.

#include "plug/byte_chunk.h"
#include "plug/iparam.h"
#include "plug/ipreset.h"
#include "plug/midi.h"
#include "plug/time_info.h"
