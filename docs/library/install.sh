cmake --install "$build" --prefix "$prefix"
