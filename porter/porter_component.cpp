// What makes vel_porter a component: its frame profile and version record.
#include "frame/component.h"
#include "frame/componentversion_impl.h"

const component_profile g_component_profile = {component_client_version_porter, false, nullptr};

namespace {

constexpr char kAbout[] =
    "Easily copy files to a portable device. Written by the Send to Device developers <porter@vellora.invalid>\n"
    "(Cover art copying contributed by <cover-art@vellora.invalid>)";

componentversion_impl_simple_factory g_version_record("Send to Device", "1.1.2 [Nov 28 2007 - 10:13:31]", kAbout);

}  // namespace
