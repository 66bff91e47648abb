SELECT DISTINCT a.x AS X1, sum(b.y), "c d"
FROM ((a INNER JOIN b ON a.id = b.id) LEFT OUTER JOIN db.dbo.c c1 ON b.j = c1.j), e
WHERE NOT (a.x > 1 OR b.y NOT LIKE 'p%') AND e.z IS NOT NULL -- note
  AND e.w IN (SELECT id FROM u WHERE v = 1) AND e.q BETWEEN 1 AND 5
GROUP BY a.x HAVING count(*) > 1
ORDER BY 2 DESC, 1;
