// The settings of Send to Device, kept by the host between runs.
#pragma once

#include <cstdint>

#include "frame/cfg_var.h"

// Destination patterns, one per line ("\r\n" between lines); line 0 is "Default".
extern cfg_string cfg_device_paths;
// Tag the source tracks with SENT_TO_DEVICE.
extern cfg_int_t<int32_t> cfg_tag_sources;
// Text last accepted in the destination dialog.
extern cfg_string cfg_last_destination;
// Run the processing command on the copies.
extern cfg_int_t<int32_t> cfg_process_destinations;
// Display path of the chosen processing command.
extern cfg_string cfg_process_command_path;
// The chosen context-menu command and its sub-command (null for a plain command).
extern cfg_int_t<guid> cfg_process_command;
extern cfg_int_t<guid> cfg_process_subcommand;
// Start of the encoder command line.
extern cfg_string cfg_encoder_command_line;
// Offer MP3 conversion of non-MP3 tracks.
extern cfg_int_t<int32_t> cfg_prompt_conversion;
// Copy cover art, and the cover image's file name.
extern cfg_int_t<int32_t> cfg_copy_cover_art;
extern cfg_string cfg_cover_filename;
