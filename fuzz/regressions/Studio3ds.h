// 3D Studio inputs that once crashed the load (lib3ds) or the flattening.
