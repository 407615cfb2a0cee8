#!/usr/bin/env python3
"""Writes a generated Swagger 2.0 document of about 40 MB with 20,000
definitions and 20,000 operations, for whole-process time and peak memory:

    bench/make_large_document.py OUT.json
    /usr/bin/time -v build/tolvane OUT.json

Definitions carry every common kind of property (references to earlier
definitions, arrays of them, simple types, descriptions); operations carry
every way an argument reaches the request, and the first operation of each
path item a result and a security requirement.
"""
import sys

DEFINITIONS = 20000
OPERATIONS = 20000
SECURITY = 500
# Descriptions of about 370 characters bring the document to about 40 MB.
FILLER = " ".join(["A longer description that a real document would carry here"] * 6)

PROPERTY_KINDS = [
    '{"type":"integer","format":"int64","description":"The identifier of the record"}',
    '{"type":"string","description":"A name\\nover two lines, with some words to make it longer"}',
    '{"type":"number","format":"double"}',
    '{"type":"string","format":"date-time"}',
    None,  # a reference
    None,  # an array of references
    '{"type":"array","items":{"type":"string"}}',
    '{"type":"boolean"}',
    '{"type":"integer","format":"int32","description":"A count"}',
    '{"type":"string","enum":["a","b","c"]}',
]


def definition(d):
    props = []
    for p, kind in enumerate(PROPERTY_KINDS):
        target = 0 if d == 0 else (d * 7 + p) % d
        if p == 4:
            kind = '{"$ref":"#/definitions/Definition-%d"}' % target
        elif p == 5:
            kind = '{"type":"array","items":{"$ref":"#/definitions/Definition-%d"}}' % target
        props.append('"prop-%d":%s' % (p, kind))
    return ('"Definition-%d":{"type":"object","description":"Definition number %d. %s","properties":{%s}}'
            % (d, d, FILLER, ",".join(props)))


def parameters(i, with_body):
    out = ['{"name":"id","in":"path","required":true,"type":"integer","format":"int64"}',
           '{"name":"filter-%d","in":"query","type":"string","description":"Filters the result"}' % i,
           '{"name":"X-Trace","in":"header","type":"integer"}',
           '{"name":"tags","in":"query","type":"array","items":{"type":"string"}}']
    if with_body:
        out.append('{"name":"body","in":"body","required":true,"schema":{"type":"array",'
                   '"items":{"$ref":"#/definitions/Definition-%d"}}}' % (i % DEFINITIONS))
    else:
        out.append('{"name":"note","in":"formData","type":"string"}')
    return "[" + ",".join(out) + "]"


def paths():
    out = []
    op = 0
    path = 0
    methods = ["get", "put", "post", "delete"]
    while op < OPERATIONS:
        ops = []
        for m, method in enumerate(methods):
            if op >= OPERATIONS:
                break
            text = ('"%s":{"operationId":"%sItem%d","summary":"Operation number %d on the items","description":"%s",'
                    '"produces":["application/json"],"consumes":["application/x-www-form-urlencoded"],'
                    '"parameters":%s' % (method, method, path, op, FILLER, parameters(op, m in (1, 2))))
            if m == 0:
                text += (',"responses":{"200":{"description":"ok","schema":{"$ref":"#/definitions/Definition-%d"}},'
                         '"default":{"description":"error"}},"security":[{"key%d":[]}]'
                         % (path % DEFINITIONS, path % SECURITY))
            ops.append(text + "}")
            op += 1
        out.append('"/items%d/{id}":{%s}' % (path, ",".join(ops)))
        path += 1
    return ",".join(out)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    security = ",".join('"key%d":{"type":"apiKey","name":"api_key","in":"header"}' % i for i in range(SECURITY))
    defs = ",".join(definition(d) for d in range(DEFINITIONS))
    doc = ('{"swagger":"2.0","info":{"title":"Large","version":"1"},"host":"api.example.com",'
           '"basePath":"/v1","schemes":["https"],"paths":{%s},"securityDefinitions":{%s},'
           '"definitions":{%s}}' % (paths(), security, defs))
    with open(sys.argv[1], "w", encoding="utf-8") as f:
        f.write(doc)
    return 0


if __name__ == "__main__":
    sys.exit(main())
