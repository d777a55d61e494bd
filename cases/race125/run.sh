#!/bin/sh
# A race 125 typed as a tuner measures it (bore 54, stroke 54.5, rod 110, compression 12,
# crankcase compression 1.35): its ports with two auxiliaries and five transfers, a four-petal
# reed block, on the pipe the search found for 10 500-12 500 rpm. Any further options are added,
# e.g.
#   sh cases/race125/run.sh --curves curve.csv
# VELMORANT_CLI names the program (velmorant-cli on the PATH otherwise).
here=$(dirname "$0")
exec "${VELMORANT_CLI:-velmorant-cli}" --waves \
    --cil 124.82 --rpm 11500 --bore 54 --stroke 54.5 --con-rod 2.0183 --compression 12 \
    --crankcase-ratio 1.35 --ports "$here/ports.json" --pipe "$here/pipe.csv" \
    --rpm-range 9000:13000:500 "$@"
