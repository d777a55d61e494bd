#!/usr/bin/env python3
"""Reads a DXF with ezdxf (Debian's python3-ezdxf), audits it and prints what the test checks,
as JSON: the audit's errors, every layer, the entity counts per layer, each polyline of layer
CUT with its closed flag and its arcs (radius and included angle from the bulges), and every
entity as read: polylines with their vertices and bulges, lines with their line type, texts
with their point, rotation, height and plain text (\\U+XXXX, caret and %% codes decoded)."""
import json
import math
import sys

import ezdxf
import ezdxf.tools.text

doc = ezdxf.readfile(sys.argv[1])
auditor = doc.audit()
msp = doc.modelspace()
counts = {}
for e in msp:
    key = e.dxftype() + ':' + e.dxf.layer
    counts[key] = counts.get(key, 0) + 1
polylines = []
for p in msp.query('POLYLINE[layer=="CUT"]'):
    points = [(v.dxf.location, v.dxf.bulge) for v in p.vertices]
    arcs = []
    for i, (at, bulge) in enumerate(points):
        if bulge:
            chord = (points[(i + 1) % len(points)][0] - at).magnitude
            angle = 4 * math.atan(bulge)
            arcs.append({'radius': abs(chord / (2 * math.sin(angle / 2))),
                         'degrees': math.degrees(angle)})
    polylines.append({'closed': p.is_closed, 'vertices': len(points), 'arcs': arcs})
entities = []
for e in msp:
    item = {'type': e.dxftype(), 'layer': e.dxf.layer}
    if e.dxftype() == 'POLYLINE':
        item['vertices'] = [[v.dxf.location.x, v.dxf.location.y, v.dxf.bulge] for v in e.vertices]
    elif e.dxftype() == 'LINE':
        item['start'] = [e.dxf.start.x, e.dxf.start.y]
        item['end'] = [e.dxf.end.x, e.dxf.end.y]
        item['linetype'] = e.dxf.get('linetype', 'BYLAYER')
    elif e.dxftype() == 'TEXT':
        item['at'] = [e.dxf.insert.x, e.dxf.insert.y]
        item['rotation'] = e.dxf.rotation
        item['height'] = e.dxf.height
        item['raw'] = e.dxf.text
        item['text'] = ezdxf.tools.text.plain_text(ezdxf.decode_dxf_unicode(e.dxf.text))
    entities.append(item)
print(json.dumps({
    'entities': entities,
    'errors': [str(e) for e in auditor.errors],
    'layers': sorted(layer.dxf.name for layer in doc.layers),
    'linetypes': sorted(lt.dxf.name for lt in doc.linetypes),
    'counts': counts,
    'cut': polylines,
    'extmin': list(doc.header.get('$EXTMIN', (0, 0, 0))),
    'extmax': list(doc.header.get('$EXTMAX', (0, 0, 0))),
}))
