// The archive component in window layouts. TCompress itself is portable and knows nothing
// of layouts; this makes its class and published properties known to the layout reader.
#pragma once

// Registers "TCompress": a factory and the applier of its published properties and events.
void RegisterCompressComponent();
