// The example plug-in driven through the real ABI: loaded with dlopen, created
// through its exported entry points and called only through its AEffect record.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "tests/vst2/example_plug.h"
#include "tests/vst2/test_host.h"

namespace {

class AbiTest : public ::testing::Test {
 protected:
  void SetUp() override { TestHostReset(); }
  LoadedPlugin plug;
};

double DbToGain(double dB) { return std::pow(10.0, dB / 20.0); }

VstMidiEvent NoteOn(int note, int offset) {
  VstMidiEvent e{};
  e.type = kVstMidiType;
  e.byteSize = sizeof(e);
  e.deltaFrames = offset;
  e.midiData[0] = (char)0x90;
  e.midiData[1] = (char)note;
  e.midiData[2] = 100;
  return e;
}

VstIntPtr SendEvents(const LoadedPlugin& plug, std::vector<VstEvent*> events) {
  std::vector<char> storage(sizeof(VstEvents) + events.size() * sizeof(VstEvent*));
  VstEvents* list = (VstEvents*)storage.data();
  list->numEvents = (VstInt32)events.size();
  VstEvent** slots = list->events;  // allocated longer than the declared two slots
  for (size_t i = 0; i < events.size(); ++i) slots[i] = events[i];
  return plug.Dispatch(effProcessEvents, 0, 0, list);
}

std::vector<uint8_t> Chunk(const LoadedPlugin& plug, int index) {
  void* data = nullptr;
  VstIntPtr size = plug.Dispatch(effGetChunk, index, 0, &data);
  if (size <= 0 || !data) return {};
  return std::vector<uint8_t>((uint8_t*)data, (uint8_t*)data + size);
}

TEST_F(AbiTest, EntryFillsTheEffectRecord) {
  AEffect* e = plug.effect();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->magic, kEffectMagic);
  EXPECT_EQ(e->numPrograms, 2);
  EXPECT_EQ(e->numParams, kNumExampleParams);
  EXPECT_EQ(e->numInputs, 2);
  EXPECT_EQ(e->numOutputs, 2);
  EXPECT_EQ(e->flags, effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks |
                          effFlagsCanMono);
  EXPECT_EQ(e->initialDelay, 0);
  EXPECT_EQ(e->ioRatio, 1.0f);
  EXPECT_NE(e->object, nullptr);
  EXPECT_EQ(e->uniqueID, EXAMPLE_UNIQUE_ID);
  EXPECT_EQ(e->version, 10203);
  EXPECT_TRUE(e->dispatcher && e->process && e->processReplacing && e->processDoubleReplacing &&
              e->getParameter && e->setParameter);
  char zeros[sizeof(e->future)] = {};
  EXPECT_EQ(memcmp(e->future, zeros, sizeof(zeros)), 0);
  EXPECT_EQ(e->resvd1, 0);
  EXPECT_EQ(e->user, nullptr);
}

TEST_F(AbiTest, MainEntryAndNullHostCallbackBothWork) {
  LoadedPlugin viaMain("main", nullptr);
  AEffect* e = viaMain.effect();
  ASSERT_NE(e, nullptr);
  EXPECT_NE(e, plug.effect());
  EXPECT_EQ(viaMain.Dispatch(effOpen), 0);
  // Without a host every host call answers 0: MIDI out and time queries still work.
  VstMidiEvent note = NoteOn(60, 0);
  EXPECT_EQ(SendEvents(viaMain, {(VstEvent*)&note}), 1);
  float in[8] = {1, 1, 1, 1, 1, 1, 1, 1}, out[8] = {};
  float* ins[2] = {in, in};
  float* outs[2] = {out, out};
  e->processReplacing(e, ins, outs, 8);
  EXPECT_FLOAT_EQ(out[7], 1.0f);
}

TEST_F(AbiTest, FixedAnswersAndIgnoredOpcodes) {
  EXPECT_EQ(plug.Dispatch(effIdentify), CCONST('N', 'v', 'E', 'f'));
  EXPECT_EQ(plug.Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(plug.Dispatch(effCanBeAutomated), 1);
  EXPECT_EQ(plug.Dispatch(effGetPlugCategory), kPlugCategEffect);
  EXPECT_EQ(plug.Dispatch(effGetTailSize), 0);
  for (int op : {9, 16, 17, 18, 19, 20, 21, 28, 30, 36, 43, 49, 53, 54, 67, 68, 70, 71, 1000, -1})
    EXPECT_EQ(plug.Dispatch(op, 1, 1, nullptr, 1.0f), 0) << "opcode " << op;
  // No editor is attached: the editor opcodes refuse.
  ERect* rect = nullptr;
  EXPECT_EQ(plug.Dispatch(effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(rect, nullptr);
  EXPECT_EQ(plug.Dispatch(effEditOpen), 0);
  EXPECT_EQ(plug.Dispatch(effEditClose), 0);
  AEffect orphan = *plug.effect();
  orphan.object = nullptr;
  EXPECT_EQ(orphan.dispatcher(&orphan, effIdentify, 0, 0, nullptr, 0.0f), 0);
}

TEST_F(AbiTest, NamesAreCopiedBounded) {
  VstIntPtr result = 0;
  EXPECT_EQ(plug.Text(effGetEffectName, 0, 0, 0.0f, &result), "Example Gain");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(plug.Text(effGetVendorString), "Skylane");
  EXPECT_EQ(plug.Text(effGetProductString), "Skylane Examples");
  EXPECT_EQ(plug.Dispatch(effGetEffectName), 0);
  EXPECT_EQ(plug.Dispatch(effGetVendorString), 0);
  EXPECT_EQ(plug.Dispatch(effGetProductString), 0);

  EXPECT_EQ(plug.Text(effGetParamName, kExampleGain), "Gain");
  EXPECT_EQ(plug.Text(effGetParamLabel, kExampleGain), "dB");
  EXPECT_EQ(plug.Text(effGetParamDisplay, kExampleGain), "0.0");
  EXPECT_EQ(plug.Text(effGetParamDisplay, kExampleMode), "Clean");
  EXPECT_EQ(plug.Text(effGetParamLabel, kExampleMode), "");
  // Invalid indexes leave the buffer untouched.
  EXPECT_EQ(plug.Text(effGetParamName, -1).substr(0, 4), "xxxx");
  EXPECT_EQ(plug.Text(effGetParamDisplay, kNumExampleParams).substr(0, 4), "xxxx");
}

TEST_F(AbiTest, ProgramsSelectRenameAndList) {
  VstIntPtr result = 0;
  EXPECT_EQ(plug.Text(effGetProgramNameIndexed, 0, 0, 0.0f, &result), "Unity");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(plug.Text(effGetProgramNameIndexed, 1), "Loud");
  plug.Text(effGetProgramNameIndexed, 2, 0, 0.0f, &result);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(plug.Dispatch(effGetProgramNameIndexed, 0), 0);

  EXPECT_EQ(plug.Dispatch(effGetProgram), 0);
  plug.Dispatch(effSetProgram, 0, 1);
  EXPECT_EQ(plug.Dispatch(effGetProgram), 1);
  EXPECT_EQ(plug.Text(effGetProgramName), "Loud");
  EXPECT_EQ(plug.Text(effGetParamDisplay, kExampleGain), "6.0");
  EXPECT_EQ(plug.Text(effGetParamDisplay, kExampleMode), "Hot");
  plug.Dispatch(effSetProgram, 0, 7);  // no such program: nothing changes
  EXPECT_EQ(plug.Dispatch(effGetProgram), 1);

  char longName[] = "A program name far longer than the field";
  plug.Dispatch(effSetProgramName, 0, 0, longName);
  std::string name = plug.Text(effGetProgramName);
  EXPECT_EQ(name, std::string(longName).substr(0, 23));
  EXPECT_EQ(plug.Text(effGetProgramNameIndexed, 1), name);
}

TEST_F(AbiTest, ParametersGetSetAndRejectBadIndexes) {
  plug.Set(kExampleGain, 1.0f);
  EXPECT_FLOAT_EQ(plug.Get(kExampleGain), 1.0f);
  EXPECT_EQ(plug.Text(effGetParamDisplay, kExampleGain), "12.0");
  EXPECT_EQ(plug.Get(-1), 0.0f);
  EXPECT_EQ(plug.Get(kNumExampleParams), 0.0f);
  plug.Set(-1, 0.3f);
  plug.Set(kNumExampleParams, 0.3f);
  EXPECT_FLOAT_EQ(plug.Get(kExampleGain), 1.0f);
  // The host is not told back about its own change.
  EXPECT_EQ(Host().Calls(audioMasterAutomate), 0);
}

TEST_F(AbiTest, TextToParameter) {
  char hot[] = "Hot", nope[] = "Nope", six[] = "6";
  EXPECT_EQ(plug.Dispatch(effString2Parameter, kExampleMode, 0, hot), 1);
  EXPECT_FLOAT_EQ(plug.Get(kExampleMode), 1.0f);
  EXPECT_EQ(plug.Dispatch(effString2Parameter, kExampleMode, 0, nope), 0);
  EXPECT_FLOAT_EQ(plug.Get(kExampleMode), 1.0f);
  EXPECT_EQ(plug.Dispatch(effString2Parameter, kExampleGain, 0, six), 1);
  EXPECT_EQ(plug.Text(effGetParamDisplay, kExampleGain), "6.0");
  EXPECT_EQ(plug.Dispatch(effString2Parameter, kExampleGain, 0, nullptr), 1);
  EXPECT_EQ(plug.Dispatch(effString2Parameter, kNumExampleParams, 0, six), 0);
  EXPECT_EQ(plug.Dispatch(effString2Parameter, -1, 0, six), 0);
}

TEST_F(AbiTest, VendorSpecificDisplayAndSteppedQueries) {
  VstIntPtr result = 0;
  EXPECT_EQ(plug.Text(effVendorSpecific, 7, kExampleGain, 1.0f, &result), "12.0");
  EXPECT_EQ(result, 0xBEEF);
  EXPECT_EQ(plug.Text(effVendorSpecific, 7, kExampleMode, 0.5f), "Warm");
  EXPECT_EQ(plug.Text(effVendorSpecific, 7, 99, 0.5f, &result).substr(0, 4), "xxxx");
  EXPECT_EQ(result, 0xBEEF);
  EXPECT_EQ(plug.Dispatch(effVendorSpecific, 7, kExampleGain, nullptr, 0.5f), 0);
  EXPECT_EQ(plug.Dispatch(effVendorSpecific, 8, kExampleTranspose), 0xBEEF);
  EXPECT_EQ(plug.Dispatch(effVendorSpecific, 8, kExampleBypass), 0xBEEF);
  EXPECT_EQ(plug.Dispatch(effVendorSpecific, 8, kExampleGain), 0);
  EXPECT_EQ(plug.Dispatch(effVendorSpecific, 8, 99), 0);
  EXPECT_EQ(plug.Dispatch(effVendorSpecific, 9, kExampleTranspose), 0);
}

TEST_F(AbiTest, CapabilityTexts) {
  auto canDo = [&](const char* text) { return plug.Dispatch(effCanDo, 0, 0, (void*)text); };
  EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
  EXPECT_EQ(canDo("sendVstEvents"), 1);
  EXPECT_EQ(canDo("sendVstMidiEvent"), 1);
  EXPECT_EQ(canDo("receiveVstEvents"), 1);
  EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
  EXPECT_EQ(canDo("hasVendorExtensions"), 0xBEEF0000);
  EXPECT_EQ(canDo("hasVendorViewAsConfig"), 0xBEEF0000);
  EXPECT_EQ(canDo("ReceiveVstTimeInfo"), 0);
  EXPECT_EQ(canDo("receiveVstTimeInfo "), 0);
  EXPECT_EQ(canDo("bypass"), 0);
  EXPECT_EQ(plug.Dispatch(effCanDo), 0);
}

TEST_F(AbiTest, PinsAndSpeakerArrangements) {
  VstPinProperties pin;
  memset(&pin, 'x', sizeof(pin));
  EXPECT_EQ(plug.Dispatch(effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
  EXPECT_STREQ(pin.label, "Input 1");
  EXPECT_EQ(plug.Dispatch(effGetInputProperties, 1, 0, &pin), 1);
  EXPECT_EQ(pin.flags, kVstPinIsActive);
  EXPECT_STREQ(pin.label, "Input 2");
  EXPECT_EQ(plug.Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Right out");
  EXPECT_EQ(plug.Dispatch(effGetInputProperties, 2, 0, &pin), 0);
  EXPECT_EQ(plug.Dispatch(effGetOutputProperties, -1, 0, &pin), 0);
  EXPECT_EQ(plug.Dispatch(effGetOutputProperties, 0, 0, nullptr), 0);

  VstSpeakerArrangement *in = nullptr, *out = nullptr;
  EXPECT_EQ(plug.Dispatch(effGetSpeakerArrangement, 0, (VstIntPtr)&in, &out), 1);
  ASSERT_TRUE(in && out);
  EXPECT_EQ(in->numChannels, 2);
  EXPECT_EQ(in->type, kSpeakerArrStereo);
  EXPECT_EQ(out->numChannels, 2);
  EXPECT_EQ(plug.Dispatch(effGetSpeakerArrangement), 1);

  // A mono input arrangement disconnects the second input: it then reads silence.
  VstSpeakerArrangement mono{};
  mono.type = kSpeakerArrMono;
  mono.numChannels = 1;
  EXPECT_EQ(plug.Dispatch(effSetSpeakerArrangement, 0, (VstIntPtr)&mono, nullptr), 1);
  AEffect* e = plug.effect();
  float inL[4] = {1, 1, 1, 1}, inR[4] = {2, 2, 2, 2}, outL[4] = {}, outR[4] = {};
  float* ins[2] = {inL, inR};
  float* outs[2] = {outL, outR};
  e->processReplacing(e, ins, outs, 4);
  EXPECT_FLOAT_EQ(outL[3], 1.0f);
  EXPECT_FLOAT_EQ(outR[3], 0.0f);
  VstSpeakerArrangement bogus{};
  bogus.numChannels = -5;
  EXPECT_EQ(plug.Dispatch(effSetSpeakerArrangement, 0, (VstIntPtr)&bogus, &bogus), 1);
}

TEST_F(AbiTest, ChunkSizesAndHeaders) {
  EXPECT_EQ(plug.Dispatch(effGetChunk, 1, 0, nullptr), 0);
  std::vector<uint8_t> program = Chunk(plug, 1);
  // Header, one double per parameter, then the tag text's length (empty tag).
  ASSERT_EQ(program.size(), 8u + 8u * kNumExampleParams + 4u);
  EXPECT_EQ(memcmp(program.data(), "tffp\0\0\1\0", 8), 0);
  std::vector<uint8_t> bank = Chunk(plug, 0);
  ASSERT_GT(bank.size(), program.size());
  EXPECT_EQ(memcmp(bank.data(), "tffp\0\0\1\0", 8), 0);
  int32_t firstNameLen;
  memcpy(&firstNameLen, bank.data() + 8, 4);
  EXPECT_EQ(firstNameLen, 5);
  EXPECT_EQ(memcmp(bank.data() + 12, "Unity", 5), 0);
}

TEST_F(AbiTest, SetChunkDecidesBetweenBankAndProgram) {
  plug.Set(kExampleGain, 1.0f);
  std::vector<uint8_t> loudState = Chunk(plug, 1);
  plug.Set(kExampleGain, 0.0f);
  std::vector<uint8_t> bank = Chunk(plug, 0);

  // A program chunk sets the current state.
  EXPECT_EQ(plug.Dispatch(effSetChunk, 1, (VstIntPtr)loudState.size(), loudState.data()), 1);
  EXPECT_FLOAT_EQ(plug.Get(kExampleGain), 1.0f);
  // Index 0 with a chunk whose framework version is below 0x10000 is a program state.
  std::vector<uint8_t> oldVersion = loudState;
  oldVersion[6] = 0;
  plug.Set(kExampleGain, 0.0f);
  EXPECT_EQ(plug.Dispatch(effSetChunk, 0, (VstIntPtr)oldVersion.size(), oldVersion.data()), 1);
  EXPECT_FLOAT_EQ(plug.Get(kExampleGain), 1.0f);
  // So is one without the header.
  std::vector<uint8_t> headless(loudState.begin() + 8, loudState.end());
  plug.Set(kExampleGain, 0.0f);
  EXPECT_EQ(plug.Dispatch(effSetChunk, 0, (VstIntPtr)headless.size(), headless.data()), 1);
  EXPECT_FLOAT_EQ(plug.Get(kExampleGain), 1.0f);
  EXPECT_EQ(plug.Text(effGetProgramNameIndexed, 1), "Loud");
  // A bank chunk brings the slots back.
  char renamed[] = "Renamed";
  plug.Dispatch(effSetProgramName, 0, 0, renamed);
  EXPECT_EQ(plug.Dispatch(effSetChunk, 0, (VstIntPtr)bank.size(), bank.data()), 1);
  EXPECT_EQ(plug.Text(effGetProgramNameIndexed, 0), "Unity");
  EXPECT_FLOAT_EQ(plug.Get(kExampleGain), 0.0f);
}

TEST_F(AbiTest, SetChunkSurvivesBadInput) {
  std::vector<uint8_t> junk(37, 0xA5);
  EXPECT_EQ(plug.Dispatch(effSetChunk, 1, 0, nullptr), 0);
  EXPECT_EQ(plug.Dispatch(effSetChunk, 1, -4, junk.data()), 0);
  EXPECT_EQ(plug.Dispatch(effSetChunk, 1, (VstIntPtr)1 << 40, junk.data()), 0);
  EXPECT_EQ(plug.Dispatch(effSetChunk, 1, (VstIntPtr)junk.size(), junk.data()), 0);
  EXPECT_EQ(plug.Dispatch(effSetChunk, 0, 0, junk.data()), 0);
  // The host hands back the very buffer it was given, whole or in part.
  void* data = nullptr;
  VstIntPtr size = plug.Dispatch(effGetChunk, 1, 0, &data);
  EXPECT_EQ(plug.Dispatch(effSetChunk, 1, size, data), 1);
  size = plug.Dispatch(effGetChunk, 1, 0, &data);
  EXPECT_EQ(plug.Dispatch(effSetChunk, 1, size + 100, data), 0);
  size = plug.Dispatch(effGetChunk, 0, 0, &data);
  EXPECT_EQ(plug.Dispatch(effSetChunk, 0, size, data), 1);
  EXPECT_EQ(plug.Text(effGetProgramNameIndexed, 1), "Loud");
}

TEST_F(AbiTest, MidiEventsInAndOut) {
  plug.Set(kExampleTranspose, 1.0f);  // +24 semitones
  VstMidiEvent low = NoteOn(60, 5), high = NoteOn(120, 9);
  VstEvent other{};
  other.type = 3;
  EXPECT_EQ(SendEvents(plug, {(VstEvent*)&low, nullptr, &other, (VstEvent*)&high}), 1);
  ASSERT_EQ(Host().midiOut.size(), 1u);  // 120 + 24 leaves the keyboard and is dropped
  const VstMidiEvent& sent = Host().midiOut[0];
  EXPECT_EQ(sent.type, kVstMidiType);
  EXPECT_EQ(sent.byteSize, (VstInt32)sizeof(VstMidiEvent));
  EXPECT_EQ(sent.deltaFrames, 5);
  EXPECT_EQ((uint8_t)sent.midiData[0], 0x90);
  EXPECT_EQ(sent.midiData[1], 84);
  EXPECT_EQ(sent.midiData[2], 100);
  EXPECT_EQ(plug.Dispatch(effProcessEvents, 0, 0, nullptr), 0);

  uint8_t tag[] = {0xF0, 0x7D, 'h', 'e', 'l', 'l', 'o', 0xF7};
  VstMidiSysexEvent sysEx{};
  sysEx.type = kVstSysExType;
  sysEx.byteSize = sizeof(sysEx);
  sysEx.dumpBytes = sizeof(tag);
  sysEx.sysexDump = (char*)tag;
  VstMidiSysexEvent broken = sysEx;
  broken.dumpBytes = -3;
  EXPECT_EQ(SendEvents(plug, {(VstEvent*)&sysEx, (VstEvent*)&broken}), 1);
  ASSERT_EQ(Host().sysExOut.size(), 1u);
  EXPECT_EQ(Host().sysExOut[0], std::vector<uint8_t>(tag, tag + sizeof(tag)));
  EXPECT_EQ(Host().sysExByteSizes[0], (VstInt32)sizeof(VstMidiSysexEvent));
  std::vector<uint8_t> state = Chunk(plug, 1);
  ASSERT_GE(state.size(), 5u);
  EXPECT_EQ(std::string(state.end() - 5, state.end()), "hello");
}

TEST_F(AbiTest, MidiKeyNames) {
  MidiKeyName key{};
  key.thisKeyNumber = 61;
  EXPECT_EQ(plug.Dispatch(effGetMidiKeyName, 0, 0, &key), 1);
  EXPECT_STREQ(key.keyName, "C#4");
  key.thisKeyNumber = 300;
  EXPECT_EQ(plug.Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_STREQ(key.keyName, "");
  EXPECT_EQ(plug.Dispatch(effGetMidiKeyName), 0);
}

TEST_F(AbiTest, OpenAppliesParametersAndIdentifiesTheHostOnce) {
  EXPECT_EQ(plug.Dispatch(effOpen), 0);
  EXPECT_EQ(plug.Dispatch(effOpen), 0);
  EXPECT_EQ(Host().Calls(audioMasterGetProductString), 1);
  EXPECT_EQ(Host().Calls(audioMasterGetVendorVersion), 1);
  EXPECT_EQ(plug.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
  EXPECT_EQ(plug.Dispatch(effSetSampleRate, 0, 0, nullptr, NAN), 0);
  EXPECT_EQ(plug.Dispatch(effSetBlockSize, 0, 64), 0);
  EXPECT_EQ(plug.Dispatch(effSetBlockSize, 0, -1), 0);
  EXPECT_EQ(plug.Dispatch(effMainsChanged, 0, 1), 0);
  EXPECT_EQ(plug.Dispatch(effMainsChanged, 0, 0), 0);
}

TEST_F(AbiTest, ProcessPathsInBothPrecisions) {
  AEffect* e = plug.effect();
  char sixDb[] = "6";
  plug.Dispatch(effString2Parameter, kExampleGain, 0, sixDb);
  double gain = DbToGain(6.0);
  const int n = 300;  // larger than the announced block size below: two pieces
  plug.Dispatch(effSetBlockSize, 0, 256);
  plug.Dispatch(effSetBlockSize, 0, 0);  // ignored
  std::vector<float> inL(n), inR(n), outL(n, 9.0f), outR(n, 9.0f);
  for (int i = 0; i < n; ++i) inL[i] = inR[i] = 0.25f * std::sin(i * 0.1f);
  float* ins[2] = {inL.data(), inR.data()};
  float* outs[2] = {outL.data(), outR.data()};
  e->processReplacing(e, ins, outs, n);
  for (int i = 0; i < n; i += 37) EXPECT_NEAR(outL[i], inL[i] * gain, 1e-6) << i;
  EXPECT_EQ(Host().Calls(audioMasterWantMidi), 1);

  // The old accumulating entry adds onto what the outputs hold.
  std::fill(outR.begin(), outR.end(), 1.0f);
  e->process(e, ins, outs, n);
  for (int i = 0; i < n; i += 37) EXPECT_NEAR(outR[i], 1.0 + inR[i] * gain, 1e-6) << i;

  std::vector<double> dIn(n, 0.5), dOutL(n), dOutR(n);
  double* dIns[2] = {dIn.data(), dIn.data()};
  double* dOuts[2] = {dOutL.data(), dOutR.data()};
  e->processDoubleReplacing(e, dIns, dOuts, n);
  EXPECT_NEAR(dOutR[n - 1], 0.5 * gain, 1e-12);
  EXPECT_EQ(Host().Calls(audioMasterWantMidi), 3);

  // Degenerate blocks do nothing harmful.
  e->processReplacing(e, ins, outs, 0);
  e->processReplacing(e, ins, outs, -5);
  e->processReplacing(e, nullptr, outs, 16);
  EXPECT_EQ(outL[0], 0.0f);
}

}  // namespace
