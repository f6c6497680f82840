// skylane-host: a headless VST 2.4 host for the command line.
#include <cstdio>
#include <functional>
#include <string>

#include "host/editor_png.h"
#include "host/editor_window.h"
#include "host/fx_transfer.h"
#include "host/host_callback.h"
#include "host/loader.h"
#include "host/options.h"
#include "host/params.h"
#include "host/runner.h"
#include "host/sound_file.h"
#include "host/stop_signal.h"
#include "skylane/version.h"

namespace {

enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2, kExitLoad = 3 };

int Report(int code, const std::string& message) {
  std::fprintf(stderr, "skylane-host: %s\n", message.c_str());
  return code;
}

int ReportUsage(const std::string& message) {
  Report(kExitUsage, message);
  std::fputs("Try 'skylane-host --help'.\n", stderr);
  return kExitUsage;
}

// Runs audio; Ctrl-C or SIGTERM ends the run early with a whole output file
// and the shell's status for the signal (128 + its number).
int Render(const Plugin& plugin, HostState* state, RunSettings run, SoundReader* input) {
  StopSignals signals;
  run.stop = &StopSignals::received();
  RunResult result;
  std::string error;
  if (!RunAudio(plugin, state, run, input, &result, &error)) return Report(kExitFailure, error);
  return result.stopSignal ? 128 + result.stopSignal : kExitOk;
}

// Program selection and file loads, then parameter settings.
bool Prepare(const Plugin& plugin, const HostOptions& o, std::string* error) {
  if (o.program >= 0) {
    if (o.program >= plugin.effect()->numPrograms) {
      *error = "--program " + std::to_string(o.program) + ": the plug-in has " +
               std::to_string(plugin.effect()->numPrograms) + " programs";
      return false;
    }
    plugin.Dispatch(effSetProgram, 0, o.program);
  }
  if (!o.loadFxb.empty() && !LoadBankFile(plugin, o.loadFxb, error)) return false;
  if (!o.loadFxp.empty() && !LoadProgramFile(plugin, o.loadFxp, error)) return false;
  for (const ParamSetting& s : o.settings) {
    if (!ApplySetting(plugin, s, error)) return false;
  }
  return true;
}

bool Save(const Plugin& plugin, const HostOptions& o, std::string* error) {
  if (!o.saveFxp.empty() && !SaveProgramFile(plugin, o.saveFxp, error)) return false;
  if (!o.saveFxb.empty() && !SaveBankFile(plugin, o.saveFxb, error)) return false;
  return true;
}

bool PictureAtEndOfRun(const HostOptions& o) {
  return !o.renderEditor.empty() && o.WantsRun() && !o.editor;
}

// The audio run (if asked for), with the editor on screen during it when
// --editor is given; returns the exit status.
int RunWithOptionalEditor(const Plugin& plugin, HostState* state, const HostOptions& o,
                          const RunSettings& run, SoundReader* input) {
  int code = kExitOk;
  std::function<bool()> audio;
  RunSettings settings = run;
  if (o.WantsRun()) {
    // The picture shows the editor as the run leaves it, before the plug-in
    // is turned off. With the editor on screen the audio runs on a thread of
    // its own, so the picture waits for the window to close instead.
    if (PictureAtEndOfRun(o)) {
      settings.atEnd = [&](std::string* error) {
        return WriteEditorPicture(plugin, o.renderEditor, error);
      };
    }
    audio = [&] {
      code = Render(plugin, state, settings, input);
      return code != kExitFailure;
    };
  }
  if (!o.editor) {
    if (audio) audio();
    return code;
  }
  HostEditorWindow window;
  std::string error;
  if (!window.Open(plugin, &error)) return Report(kExitFailure, error);
  IdleEditorWhile(&window, audio);
  window.Close();
  return code;
}

// Everything after loading; the plug-in is closed by the caller.
int Session(const Plugin& plugin, HostState* state, const HostOptions& o, const RunSettings& run,
            SoundReader* input) {
  std::string error;
  plugin.Dispatch(effOpen);
  plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, float(state->sampleRate));
  plugin.Dispatch(effSetBlockSize, 0, state->blockSize);
  if (!Prepare(plugin, o, &error)) return Report(kExitFailure, error);
  if (o.list) PrintPluginInfo(plugin, stdout);
  if (!Save(plugin, o, &error)) return Report(kExitFailure, error);
  const int code = RunWithOptionalEditor(plugin, state, o, run, input);
  if (code == kExitFailure) return code;
  if (!o.renderEditor.empty() && !PictureAtEndOfRun(o) &&
      !WriteEditorPicture(plugin, o.renderEditor, &error)) {
    return Report(kExitFailure, error);
  }
  if (o.verbose) {
    std::fprintf(stderr, "host: %ld automations, %ld begin edits, %ld end edits, %ld events\n",
                 state->automations.load(), state->beginEdits.load(), state->endEdits.load(),
                 state->eventsReceived.load());
  }
  return code;
}

// Rate and length from the options, else from the input file.
bool PlanRun(const HostOptions& o, const SoundReader* input, RunSettings* run, std::string* error) {
  run->rate = o.rate > 0.0 ? o.rate : input ? input->rate() : kDefaultRate;
  if (input && o.rate > 0.0 && o.rate != input->rate()) {
    *error = o.input + " is at " + std::to_string(int(input->rate())) + " Hz, --rate asks for " +
             std::to_string(int(o.rate));
    return false;
  }
  run->seconds = o.seconds >= 0.0 ? o.seconds
                 : input          ? double(input->frames()) / input->rate()
                                  : kDefaultSeconds;
  run->block = o.block;
  run->fast = o.fast;
  run->useDouble = o.useDouble;
  run->quiet = o.quiet;
  run->output = o.output;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  HostOptions o;
  std::string error;
  if (!ParseOptions(argc, argv, &o, &error)) return ReportUsage(error);
  if (o.help) {
    std::fputs(UsageText(), stdout);
    return kExitOk;
  }
  if (o.version) {
    std::printf("skylane-host %s\n", kSkylaneVersion);
    return kExitOk;
  }
  SoundReader reader;
  SoundReader* input = o.input.empty() ? nullptr : &reader;
  if (input && !input->Open(o.input, &error)) return Report(kExitFailure, error);
  RunSettings run;
  if (!PlanRun(o, input, &run, &error)) return ReportUsage(error);

  HostState state;
  state.sampleRate = run.rate;
  state.blockSize = run.block;
  state.verbose = o.verbose;
  HostInstallState(&state);
  Plugin plugin;
  if (plugin.Load(o.pluginPath, HostCallback, &error) != LoadError::kNone) {
    return Report(kExitLoad, error);
  }
  int code = Session(plugin, &state, o, run, input);
  plugin.Close();
  HostInstallState(nullptr);
  return code;
}
