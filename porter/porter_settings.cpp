// Defined in registration order: the list, and so the stored stream, runs from the
// last of them to the first.
#include "porter_settings.h"

cfg_string cfg_device_paths(guid::parse("{FC6ED904-B302-497D-92AF-30589284C8AA}"),
                            "Z:\\Music\\%artist%\\%album%\\%title%.$ext(%_path%)");
cfg_int_t<int32_t> cfg_tag_sources(guid::parse("{F9B375D2-8215-4375-B2FF-B5D430C18325}"), 0);
cfg_string cfg_last_destination(guid::parse("{2852E9AF-6CE6-4D3A-BF13-CF43BECBE42B}"), "");
cfg_int_t<int32_t> cfg_process_destinations(guid::parse("{CF808743-F946-4CA1-A21C-905932051F6E}"), 0);
cfg_string cfg_process_command_path(guid::parse("{A90EB7FF-A359-48DE-9A82-22C092937B39}"), "");
cfg_int_t<guid> cfg_process_command(guid::parse("{D78AA3D0-DFB7-410B-BD62-C3FF43B4F529}"), guid{});
cfg_int_t<guid> cfg_process_subcommand(guid::parse("{F4C78434-0FF2-4DA5-A8A3-DFE8B40BE8B6}"), guid{});
cfg_string cfg_encoder_command_line(guid::parse("{C11B3918-9DF9-46C8-805B-6D565BA6A90E}"),
                                    "\"c:\\program files\\Vellora\\lame.exe\" --vbr-new -V 5");
cfg_int_t<int32_t> cfg_prompt_conversion(guid::parse("{CE853B12-8F4B-44E0-A694-35785ABF7600}"), 1);
cfg_int_t<int32_t> cfg_copy_cover_art(guid::parse("{4F30D1CF-153B-41ED-98B8-87A50B2B3E27}"), 0);
cfg_string cfg_cover_filename(guid::parse("{FFA2A41F-62E7-4329-A3AC-37797F995890}"), "cover.jpg");
