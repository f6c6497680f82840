// The bundle as an LV2 host sees it through lilv: the plug-in, its ports with
// ranges and properties, the features and interfaces it names, and its UI.
#include <gtest/gtest.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>

#include <string>

#include "tests/lv2/lv2_test_host.h"

namespace {

struct ExpectedControl {
  const char* symbol;
  const char* name;
  float minimum, maximum, deflt;
  const char* property;  // the one port property a host shows it by
};

const ExpectedControl kControls[] = {
    {"channel", "Channel", 0, 3, 0, LV2_CORE__enumeration},
    {"latency_control", "Latency Control", 1, 4, 1, LV2_CORE__integer},
    {"device_id", "Device ID", 0, 16777215, 0, LV2_CORE__integer},
    {"effects_loop", "Effects Loop", 0, 1, 0, LV2_CORE__toggled},
};

std::string Text(const LilvNode* node) { return node ? lilv_node_as_string(node) : ""; }

class BundleTest : public ::testing::Test {
 protected:
  bool Has(const LilvNodes* nodes, const char* uri) {
    Node node(mHost.NewUri(uri));
    return lilv_nodes_contains(nodes, node.get());
  }
  LV2TestHost mHost;
};

TEST_F(BundleTest, NamesThePluginItsFeaturesAndItsInterfaces) {
  const LilvPlugin* plugin = mHost.Plugin();
  ASSERT_NE(plugin, nullptr) << "no plug-in in " SKYLANE_LV2_BUNDLE;
  ASSERT_TRUE(lilv_plugin_verify(plugin));
  LilvNode* name = lilv_plugin_get_name(plugin);
  EXPECT_EQ(Text(name), "Skylane");
  lilv_node_free(name);
  LilvNodes* required = lilv_plugin_get_required_features(plugin);
  EXPECT_EQ(lilv_nodes_size(required), 2u);
  EXPECT_TRUE(Has(required, LV2_URID__map));
  EXPECT_TRUE(Has(required, LV2_WORKER__schedule));
  lilv_nodes_free(required);
  LilvNodes* optional = lilv_plugin_get_optional_features(plugin);
  EXPECT_TRUE(Has(optional, LV2_CORE__hardRTCapable));
  lilv_nodes_free(optional);
  LilvNodes* data = lilv_plugin_get_extension_data(plugin);
  EXPECT_TRUE(Has(data, LV2_STATE__interface));
  EXPECT_TRUE(Has(data, LV2_WORKER__interface));
  lilv_nodes_free(data);
}

TEST_F(BundleTest, PortsCarryRangesDefaultsAndProperties) {
  const LilvPlugin* plugin = mHost.Plugin();
  ASSERT_NE(plugin, nullptr);
  ASSERT_EQ(lilv_plugin_get_num_ports(plugin), 8u);
  Node audio(mHost.NewUri(LV2_CORE__AudioPort)), control(mHost.NewUri(LV2_CORE__ControlPort));
  Node input(mHost.NewUri(LV2_CORE__InputPort)), output(mHost.NewUri(LV2_CORE__OutputPort));
  for (uint32_t i = 0; i < 4; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    EXPECT_TRUE(lilv_port_is_a(plugin, port, audio.get())) << i;
    EXPECT_TRUE(lilv_port_is_a(plugin, port, i < 2 ? input.get() : output.get())) << i;
  }
  for (uint32_t k = 0; k < 4; ++k) {
    const ExpectedControl& want = kControls[k];
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, 4 + k);
    EXPECT_TRUE(lilv_port_is_a(plugin, port, control.get()) &&
                lilv_port_is_a(plugin, port, input.get()))
        << want.symbol;
    EXPECT_EQ(Text(lilv_port_get_symbol(plugin, port)), want.symbol);
    LilvNode* name = lilv_port_get_name(plugin, port);
    EXPECT_EQ(Text(name), want.name);
    lilv_node_free(name);
    LilvNode *def = nullptr, *lo = nullptr, *hi = nullptr;
    lilv_port_get_range(plugin, port, &def, &lo, &hi);
    EXPECT_EQ(lilv_node_as_float(lo), want.minimum) << want.symbol;
    EXPECT_EQ(lilv_node_as_float(hi), want.maximum) << want.symbol;
    EXPECT_EQ(lilv_node_as_float(def), want.deflt) << want.symbol;
    lilv_node_free(def);
    lilv_node_free(lo);
    lilv_node_free(hi);
    Node property(mHost.NewUri(want.property));
    EXPECT_TRUE(lilv_port_has_property(plugin, port, property.get())) << want.symbol;
  }
}

TEST_F(BundleTest, ChannelListsItsFourNames) {
  const LilvPlugin* plugin = mHost.Plugin();
  ASSERT_NE(plugin, nullptr);
  Node symbol(lilv_new_string(mHost.World(), "channel"));
  LilvScalePoints* points =
      lilv_port_get_scale_points(plugin, lilv_plugin_get_port_by_symbol(plugin, symbol.get()));
  ASSERT_NE(points, nullptr);
  std::string names[4];
  LILV_FOREACH(scale_points, i, points) {
    const LilvScalePoint* point = lilv_scale_points_get(points, i);
    const float value = lilv_node_as_float(lilv_scale_point_get_value(point));
    ASSERT_TRUE(value >= 0 && value <= 3 && value == (int)value) << value;
    names[(int)value] = Text(lilv_scale_point_get_label(point));
  }
  lilv_scale_points_free(points);
  EXPECT_EQ(names[0], "Stereo");
  EXPECT_EQ(names[1], "Left");
  EXPECT_EQ(names[2], "Right");
  EXPECT_EQ(names[3], "Mono");
}

TEST_F(BundleTest, TheUIIsAnX11UIInThePluginsBinary) {
  const LilvPlugin* plugin = mHost.Plugin();
  ASSERT_NE(plugin, nullptr);
  LilvUIs* uis = lilv_plugin_get_uis(plugin);
  ASSERT_EQ(lilv_uis_size(uis), 1u);
  const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
  Node x11(mHost.NewUri(LV2_UI__X11UI));
  EXPECT_TRUE(lilv_ui_is_a(ui, x11.get()));
  EXPECT_EQ(Text(lilv_ui_get_binary_uri(ui)), Text(lilv_plugin_get_library_uri(plugin)));
  Node uiUri(mHost.NewUri(lilv_node_as_uri(lilv_ui_get_uri(ui))));
  Node required(mHost.NewUri(LV2_CORE__requiredFeature));
  LilvNodes* features = lilv_world_find_nodes(mHost.World(), uiUri.get(), required.get(), nullptr);
  EXPECT_TRUE(Has(features, LV2_UI__parent));
  EXPECT_TRUE(Has(features, LV2_UI__idleInterface));
  EXPECT_TRUE(Has(features, "http://lv2plug.in/ns/ext/instance-access"));
  lilv_nodes_free(features);
  lilv_uis_free(uis);
}

}  // namespace
