// Placeholder until the layer lands.
