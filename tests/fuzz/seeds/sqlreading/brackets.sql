SELECT * FROM Orders WHERE Orders.ShipName = 'O''Hara' AND (Orders.Freight between 1.5 and 10 OR NOT (Orders.ShipCountry in ('a', 'b') AND Orders.ShipCity like '%on%'))
