// skylane-lv2-ttl MODULE BUNDLE_DIR: loads the built LV2 module, makes one
// instance, asks it for its port table and writes the bundle's manifest.ttl and
// skylane.ttl. The build runs it right after linking the module, so the
// description always matches the binary.

#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include "lv2/lv2_uris.h"
#include "lv2/port_table.h"

namespace {

const char kPrefixes[] =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n\n";

std::vector<std::string> sUris;

LV2_URID Map(LV2_URID_Map_Handle, const char* uri) {
  for (size_t i = 0; i < sUris.size(); ++i) {
    if (sUris[i] == uri) return (LV2_URID)(i + 1);
  }
  sUris.push_back(uri);
  return (LV2_URID)sUris.size();
}

LV2_Worker_Status Schedule(LV2_Worker_Schedule_Handle, uint32_t, const void*) {
  return LV2_WORKER_SUCCESS;
}

// A Turtle decimal: always with a point, never in exponent form.
std::string Decimal(float v) {
  char text[64];
  if (v == std::floor(v)) snprintf(text, sizeof text, "%.1f", (double)v);
  else snprintf(text, sizeof text, "%.6f", (double)v);
  return text;
}

// A Turtle string with quotes and backslashes escaped.
std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* p = text; *p; ++p) {
    if (*p == '"' || *p == '\\') out += '\\';
    out += *p;
  }
  return out + "\"";
}

void WritePort(FILE* f, const SkyPortTable* table, LV2_Handle h, uint32_t index,
               const SkyPortInfo& port) {
  static const char* const kClasses[] = {"lv2:InputPort , lv2:AudioPort",
                                         "lv2:OutputPort , lv2:AudioPort",
                                         "lv2:InputPort , lv2:ControlPort"};
  fprintf(f, "\t\ta %s ;\n\t\tlv2:index %u ;\n\t\tlv2:symbol %s ;\n\t\tlv2:name %s",
          kClasses[port.kind], index, Quoted(port.symbol).c_str(), Quoted(port.name).c_str());
  if (port.kind != kSkyControlInput) return;
  fprintf(f, " ;\n\t\tlv2:default %s ;\n\t\tlv2:minimum %s ;\n\t\tlv2:maximum %s",
          Decimal(port.deflt).c_str(), Decimal(port.minimum).c_str(),
          Decimal(port.maximum).c_str());
  if (port.toggled) fprintf(f, " ;\n\t\tlv2:portProperty lv2:toggled");
  else if (port.enumeration) fprintf(f, " ;\n\t\tlv2:portProperty lv2:integer , lv2:enumeration");
  else if (port.integer) fprintf(f, " ;\n\t\tlv2:portProperty lv2:integer");
  if (!port.enumeration) return;
  for (int v = (int)port.minimum; v <= (int)port.maximum; ++v) {
    fprintf(f, "%s\n\t\t\trdfs:label %s ;\n\t\t\trdf:value %s\n\t\t]",
            v == (int)port.minimum ? " ;\n\t\tlv2:scalePoint [" : " , [",
            Quoted(table->value_name(h, index, v)).c_str(), Decimal((float)v).c_str());
  }
}

bool WriteDescription(FILE* f, const SkyPortTable* table, LV2_Handle h) {
  fputs(kPrefixes, f);
  fprintf(f, "<" SKY_LV2_PLUGIN_URI ">\n\ta lv2:Plugin , lv2:UtilityPlugin , doap:Project ;\n");
  fprintf(f, "\tdoap:name %s ;\n", Quoted(table->plugin_name(h)).c_str());
  fprintf(f, "\tdoap:maintainer [\n\t\tfoaf:name %s\n\t] ;\n",
          Quoted(table->vendor_name(h)).c_str());
  const int version = table->version(h);
  fprintf(f, "\tlv2:minorVersion %d ;\n\tlv2:microVersion %d ;\n", (version / 100) % 100,
          version % 100);
  fputs(
      "\tlv2:requiredFeature urid:map , work:schedule ;\n"
      "\tlv2:optionalFeature lv2:hardRTCapable , opts:options ;\n"
      "\tlv2:extensionData state:interface , work:interface ;\n"
      "\tui:ui <" SKY_LV2_UI_URI "> ;\n",
      f);
  const uint32_t n = table->count(h);
  for (uint32_t i = 0; i < n; ++i) {
    SkyPortInfo port;
    if (!table->port(h, i, &port)) return false;
    fputs(i == 0 ? "\tlv2:port [\n" : " , [\n", f);
    WritePort(f, table, h, i, port);
    fputs("\n\t]", f);
  }
  fputs(" .\n\n<" SKY_LV2_UI_URI
        ">\n\ta ui:X11UI ;\n"
        "\tlv2:requiredFeature ui:idleInterface , ui:parent ,\n"
        "\t\t<http://lv2plug.in/ns/ext/instance-access> ;\n"
        "\tlv2:optionalFeature ui:resize , ui:touch , opts:options ;\n"
        "\tlv2:extensionData ui:idleInterface .\n",
        f);
  return true;
}

bool WriteManifest(FILE* f, const std::string& binary) {
  fputs(kPrefixes, f);
  fprintf(f,
          "<" SKY_LV2_PLUGIN_URI
          ">\n\ta lv2:Plugin ;\n\tlv2:binary <%s> ;\n"
          "\trdfs:seeAlso <skylane.ttl> .\n\n"
          "<" SKY_LV2_UI_URI
          ">\n\ta ui:X11UI ;\n\tui:binary <%s> ;\n"
          "\trdfs:seeAlso <skylane.ttl> .\n",
          binary.c_str(), binary.c_str());
  return true;
}

bool WriteFile(const std::string& path, const std::function<bool(FILE*)>& write) {
  FILE* f = fopen(path.c_str(), "w");
  if (!f) return false;
  const bool ok = write(f);
  return fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fputs("usage: skylane-lv2-ttl MODULE BUNDLE_DIR\n", stderr);
    return 2;
  }
  void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  auto entry =
      module ? (const LV2_Descriptor* (*)(uint32_t))dlsym(module, "lv2_descriptor") : nullptr;
  const LV2_Descriptor* desc = entry ? entry(0) : nullptr;
  if (!desc) {
    fprintf(stderr, "skylane-lv2-ttl: %s has no LV2 plug-in: %s\n", argv[1], dlerror());
    return 1;
  }
  LV2_URID_Map map = {nullptr, Map};
  LV2_Worker_Schedule schedule = {nullptr, Schedule};
  const LV2_Feature mapFeature = {LV2_URID__map, &map};
  const LV2_Feature workFeature = {LV2_WORKER__schedule, &schedule};
  const LV2_Feature* features[] = {&mapFeature, &workFeature, nullptr};
  LV2_Handle h = desc->instantiate(desc, 48000.0, argv[2], features);
  auto table = (const SkyPortTable*)desc->extension_data(SKY_LV2_PORT_TABLE_URI);
  if (!h || !table) {
    fprintf(stderr, "skylane-lv2-ttl: no instance or no port table\n");
    return 1;
  }
  std::string binary = argv[1];
  binary = binary.substr(binary.find_last_of('/') + 1);
  const std::string dir = argv[2];
  const bool ok =
      WriteFile(dir + "/skylane.ttl", [&](FILE* f) { return WriteDescription(f, table, h); }) &&
      WriteFile(dir + "/manifest.ttl", [&](FILE* f) { return WriteManifest(f, binary); });
  desc->cleanup(h);
  if (!ok) fprintf(stderr, "skylane-lv2-ttl: could not write into %s\n", argv[2]);
  return ok ? 0 : 1;
}
