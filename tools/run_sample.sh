#!/usr/bin/env bash
# The main job on a generated sample installation: builds both programs for Linux and Windows and
# prepares a sample release-8 installation with its registry export.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install_dependencies.sh
sample=${1:-build/sample}

cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
bash tools/make_sample_installation.sh "$sample"

echo
echo "Built (Linux):   $(ls build/linux/{local,dir}_updater/QNDUpdater* 2>/dev/null | tr '\n' ' ')"
echo "Built (Windows): $(ls build/windows/{local,dir}_updater/QNDUpdater*.exe 2>/dev/null | tr '\n' ' ')"
echo "Registry for the Linux programs: QND_REGISTRY_FILE=$(cd "$sample" && pwd)/registry.reg"
