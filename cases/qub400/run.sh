#!/bin/sh
# The open QUB400 research engine (400 cm3, bore 85, stroke 70, rod 125) as the network it
# is: 200 mm of 38 mm pipe into a 10 litre box and a 200 mm tail, a 200 mm intake pipe, a 90 mm
# transfer duct, its ports as effective-area tables. Any further options are added, e.g.
#   sh cases/qub400/run.sh --curves curve.csv --traces tracce.csv
# VELMORANT_CLI names the program (velmorant-cli on the PATH otherwise).
here=$(dirname "$0")
exec "${VELMORANT_CLI:-velmorant-cli}" --waves --json \
    --cil 397.22 --bore 85 --stroke 70 --con-rod 1.7857 --compression 10.15 \
    --crankcase-ratio 1.45 --port-areas "$here/ports.csv" \
    --wiebe-a 5.25 --wiebe-m 1.1 --burn-duration 60 --ignition 9 --air-fuel 16.5 --lhv 43 \
    --heat-transfer 0.343 --wall-temperature 200 --ambient-pressure 1.0133 \
    --ambient-temperature 25 --scavenging uniflow --rpm-range 2800:3200:200 \
    --exhaust-system "$here/exhaust.json" --intake-system "$here/intake.json" \
    --transfer-duct 90:35.0428:40.716 "$@"
