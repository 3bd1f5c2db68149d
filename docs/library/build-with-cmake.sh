cmake -S . -B build -DCMAKE_PREFIX_PATH="$prefix"
cmake --build build
